// One control window with every kind of control the programs use, labelled
// in Japanese, for looking at the toolkit by itself (and for screenshots).
#include <cstdlib>

#include "glui/glui.h"

namespace {
int mainWindow;
int pickByClick = 1;
int particleNumber = 3;
float mass = 1.5f;
float charge = -0.25f;
float momentum = 12.5f;
int boundary = 1;
int potentialKind = 0;
char comment[256] = "粒子の表示色";
int windowWidth = 500, windowHeight = 500;

void displayMain() {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

void noAction(int) {}

void buildWindow(GLUI* glui) {
    GLUI_Rollout* info = glui->add_rollout("各粒子の情報", true);
    glui->add_checkbox_to_panel(info, "クリックで粒子を選択", &pickByClick);
    glui->add_edittext_to_panel(info, "粒子の番号", GLUI_EDITTEXT_INT, &particleNumber, 0, noAction)
        ->set_w(250);
    glui->add_edittext_to_panel(info, "質量", GLUI_EDITTEXT_FLOAT, &mass)->set_w(250);
    glui->add_edittext_to_panel(info, "電荷", GLUI_EDITTEXT_FLOAT, &charge)->set_w(250);
    GLUI_EditText* memo = glui->add_edittext_to_panel(info, "メモ", GLUI_EDITTEXT_TEXT, comment);
    memo->set_text_buffer_size(sizeof comment);
    memo->set_w(250);
    glui->add_column_to_panel(info, false);
    GLUI_EditText* readOnly = glui->add_edittext_to_panel(info, "右方向の全運動量",
                                                          GLUI_EDITTEXT_FLOAT, &momentum);
    readOnly->set_w(250);
    readOnly->disable();
    GLUI_Listbox* edges = glui->add_listbox_to_panel(info, "横の境界条件", &boundary);
    edges->add_item(0, "周期");
    edges->add_item(1, "壁あり");
    edges->add_item(2, "壁なし");
    edges->add_item(3, "壁あり(高精度)");
    edges->add_item(4, "周期(相互作用も周期的)");
    GLUI_Listbox* kinds = glui->add_listbox_to_panel(info, "ポテンシャルの種類", &potentialKind);
    kinds->add_item(0, "無効にする");
    kinds->add_item(1, "電荷に比例");
    kinds->add_item(2, "質量に比例");
    kinds->add_item(3, "エネルギー散逸");
    glui->add_statictext_to_panel(info, "U(x,y)=tanh((y-a)/b)");
    glui->add_button_to_panel(info, "粒子をランダムに配置", 0, noAction);

    GLUI_Rollout* settings = glui->add_rollout("シミュレーションの設定変更", true);
    glui->add_edittext_to_panel(settings, "表示間隔", GLUI_EDITTEXT_INT, &particleNumber)->set_w(250);
    glui->add_column_to_panel(settings, false);
    GLUI_Panel* size = glui->add_panel_to_panel(settings, "ウィンドウサイズ", GLUI_PANEL_EMBOSSED);
    glui->add_edittext_to_panel(size, "幅", GLUI_EDITTEXT_INT, &windowWidth)->set_w(250);
    glui->add_edittext_to_panel(size, "高さ", GLUI_EDITTEXT_INT, &windowHeight)->set_w(250);
    glui->add_button_to_panel(size, "サイズ変更", 0, noAction);

    glui->add_rollout("保存量", false);
    glui->add_rollout("グラフの表示", false);

    glui->add_button("設定の保存", 0, noAction);
    glui->add_button("終了(Q,Esc)", 0, exit);
    glui->add_statictext("左ドラッグで位置変更");
}
}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitWindowSize(300, 200);
    glutInitWindowPosition(0, 0);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    mainWindow = glutCreateWindow("メインウィンドウ");
    glutDisplayFunc(displayMain);
    GLUI* glui = GLUI_Master.create_glui("コントロールウィンドウ", 0, 320, 0);
    buildWindow(glui);
    glui->set_main_gfx_window(mainWindow);
    glutMainLoop();
}

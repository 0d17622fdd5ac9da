#include "settings_labels.h"

const char* const enabledWords[2] = {"無効", "有効"};

const char* const boundaryWords[BoundaryModeCount] = {
    "周期", "壁あり", "壁なし", "壁あり(高精度)", "周期(相互作用も周期的)",
};

const char* const kindWords[PotentialKindCount] = {
    "無効", "電荷に比例", "質量に比例", "エネルギー散逸", "相対速度に比例した散逸", "角運動量を保存する散逸",
};

// Each shape's list item, a full-width colon, and its formula.
const char* const externalShapeWords[ExternalShapeCount] = {
    "一様な場：U(x,y)=-ax-by",
    "x方向(右向き)の二次式：U(x,y)=(x-a)^2",
    "y方向(下向き)の二次式：U(x,y)=(y-a)^2",
    "x方向(右向き)のtanh：U(x,y)=tanh((x-a)/b)",
    "y方向(下向き)のtanh：U(x,y)=tanh((y-a)/b)",
};

const char* const pairShapeWords[PairShapeCount] = {
    "一様帯電球：U(r)=1/r (r>=a), U(r)=1/2a*(3-r^2/a^2) (r<a)",
    "累乗：U(r)=(r/b)^a",
    "累乗と指数の積：U(r)=(r/b)^a*exp(-r/c)",
    "tanh：U(r)=1-tanh((r-a)/b)",
    "モースポテンシャル：U(r)=exp(-2(r-a)/b)-2exp(-(r-a)/b)",
    "ガウス分布：U(r)=exp(-(r-a)^2/2b^2)",
    "ローレンツ分布：U(r)=1/(1+(r-a)^2/b^2)",
};

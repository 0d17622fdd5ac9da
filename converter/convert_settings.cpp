#include "convert_settings.h"

#include <fstream>
#include <string>

#include "annotated_settings.h"
#include "settings_files.h"
#include "settings_format.h"

WorldState converterRecord;
int fileNumber = 0;

namespace {

std::string numberedPath(const char* folder, int number)
{
    return std::string(folder) + "/" + std::to_string(number) + ".txt";
}

}  // namespace

void convertSettings(int)
{
    std::ifstream in;
    if (!openSettingsFile(in, numberedPath("data", fileNumber)))
        return;
    std::ofstream out(numberedPath("textdata", fileNumber), std::ios::trunc);
    if (!out)
        return;
    readSettings(in, converterRecord, SizeLines::Window);
    in.close();
    writeAnnotatedSettings(out, converterRecord);
}

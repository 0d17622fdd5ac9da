#include "converter/convert_settings.h"

#include <cstdio>
#include <sstream>
#include <string>

#include "converter/annotated_settings.h"
#include "settings/settings_files.h"
#include "settings/settings_format.h"

WorldState converterRecord;
int fileNumber = 0;

namespace {

std::string numberedPath(const char* folder, int number)
{
    return std::string(folder) + "/" + std::to_string(number) + ".txt";
}

}  // namespace

// The annotated file is written whole under a temporary name and then put in
// place, so a full disk or a folder nobody may write leaves the earlier
// annotated file as it was; the record takes the file's values only once its
// annotated copy is there.
void convertSettings(int)
{
    static WorldState record;
    {
        SettingsInput input;
        if (!openSettingsFile(input, numberedPath("data", fileNumber)))
            return;
        record = converterRecord;
        readSettings(input.in, record, SizeLines::Window);
    }
    std::ostringstream text;
    writeAnnotatedSettings(text, record);
    const std::string output = numberedPath("textdata", fileNumber);
    const std::string failure = writeOutputFile(output, text.str());
    if (!failure.empty()) {
        std::fprintf(stderr, "tabulix: %s not written: %s\n", output.c_str(), failure.c_str());
        return;
    }
    converterRecord = record;
}

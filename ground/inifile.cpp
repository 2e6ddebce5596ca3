// Reading and writing the settings file.
//
// The reader follows the file's fixed columns: "IDC_SOUNDnn=v" switches group nn-1 on or off,
// "IDCB_SOUNDnn=v" sets its interval class (and restarts its interval), "IDC_TSIGNAL=v" and
// "IDCB_TSIGNAL=v" set the time signal. The value is the one character in its column minus
// '0'. Lines are taken in pieces of at most 127 characters, as a 128-byte line buffer reads
// them, and any other line is ignored.
#include "ground/inifile.h"

#include "ground/globals.h"
#include "ground/path.h"
#include "ground/sound.h"
#include "ground/textfile.h"
#include "platform.h"

#include <cstring>

namespace
{

// A group number outside 01..20 names no group and changes nothing.
SoundGroup *GroupOf(const char *columns)
{
    int number = ColumnNumber(columns, 2);
    return number >= 1 && number <= InCount ? &In[number - 1] : nullptr;
}

void ApplyLine(const char (&line)[LinePiece + 1])
{
    // Columns beyond the end of a short line read as the zero bytes of the cleared buffer.
    if (std::strncmp(line, "IDC_SOUND", 9) == 0) {
        if (SoundGroup *group = GroupOf(line + 9)) group->Enabled = ColumnValue(line[12]);
    } else if (std::strncmp(line, "IDCB_SOUND", 10) == 0) {
        if (SoundGroup *group = GroupOf(line + 10)) {
            group->IntervalClass = ColumnValue(line[13]);
            group->Target = 0;
            group->Elapsed = 0;
        }
    } else if (std::strncmp(line, "IDC_TSIGNAL=", 12) == 0) {
        Tp[0] = ColumnValue(line[12]);
    } else if (std::strncmp(line, "IDCB_TSIGNAL=", 13) == 0) {
        Tp[1] = ColumnValue(line[13]);
    }
}

} // namespace

std::string IniFileName()
{
    PathParts parts = SplitPath(ProgramFileName());
    return parts.drive + parts.directory + parts.name + ".INI";
}

void ReadIniFile()
{
    if (ReadTextLines(IniFileName(), ApplyLine) != TextFileRead::Read) {
        // First start: only the insects play, every 3 to 6 seconds.
        In[0].Enabled = 1;
        In[0].IntervalClass = 0;
    }
}

void WriteIniFile()
{
    // 42 lines; a value may take up to 11 characters.
    char text[42 * 32];
    TextBuffer file(text, sizeof text);
    for (int i = 0; i < InCount; ++i) {
        file.Append("IDC_SOUND%02d=%d\r\n", i + 1, static_cast<int>(In[i].Enabled));
        file.Append("IDCB_SOUND%02d=%d\r\n", i + 1, static_cast<int>(In[i].IntervalClass));
    }
    file.Append("IDC_TSIGNAL=%d\r\n", static_cast<int>(Tp[0]));
    file.Append("IDCB_TSIGNAL=%d\r\n", static_cast<int>(Tp[1]));

    // The new settings replace the old ones only once they are completely written.
    FileReplacement replacement(IniFileName());
    (void)replacement.Commit(file.Data(), file.Length());
}

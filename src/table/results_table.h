#pragma once
// The results table: pages of the measurement record rendered from a template file.
//
// A template is a text file of fixed lines and row blocks. A line holding "&" anywhere marks a
// row block: the next line is the row template, repeated up to TableRows times, one row per
// listed point. Field codes "$T" (date), "$L" (length or count), "$N" (point number) and "$A"
// (thickness with its low-thickness flag) are replaced by fixed-width values; the characters
// after the code letter up to the field's width are placeholders.
//
// Rendering works on windows-1251 bytes, so a field's width in template characters is a width
// in bytes; the finished page is handed out as UTF-8.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/record.h"
#include "ui/surface.h"

namespace ws {

inline constexpr const char* kScanTemplate = "docway.prn";
inline constexpr const char* kReadingsTemplate = "docizm.prn";

// A template bigger than this is not a template: it is refused before it is read.
inline constexpr size_t kTemplateMaxBytes = 256 * 1024;

// One block never repeats more often than there are points: more rows could only ever be
// blank or repeat a row without fields, and would let a typo in the rows box hang the window.
inline constexpr int32_t kMaxRowsPerBlock = kPointSlots;

// Pages whose starts are remembered. Every page that lists a row moves on by at least one
// point, so this many pages reach every point of the largest record; only a page that lists no
// row (rows 0, a template without a row block) can reach the limit, and that page is the same
// every time.
inline constexpr int32_t kMaxTablePages = kPointSlots + 1;

// Prints the text line by line at 1000 twips from the left, from 1000 twips below the top;
// a line that would pass the bottom of the sheet starts a new sheet, again at 1000 twips.
// Lines end with CR LF or LF; what follows the last line end is printed as a last line, so a
// text ending with a line end ends with an empty line.
void PrintTableText(Surface& page, std::string_view text, const std::string& fontName,
                    double fontSize);

struct CalendarDate {
    int day = 1, month = 1, year = 2000;
};

// Today's date from the system clock, local time.
CalendarDate Today();

// "dd/mm/yyyy" with the given separator in place of "/".
std::string FormatDate(const CalendarDate& date, const std::string& separator);

// The threshold as the settings strip shows it: "0.00", "2.50", "-1.50"; "." whatever the
// locale, so that the text reads back.
std::string FormatThreshold(float value);

// The eight characters of a "$A" field (cp1251 = ASCII here): the thickness right-aligned in
// six, then " *" when it lies below the threshold or two blanks. A value of 1000 mm or more
// needs seven and is shown in full, pushing the rest of the row one place to the right.
std::string FormatThicknessField(float thickness, float threshold,
                                 const std::string& decimalSeparator);

// The template's lines as windows-1251 bytes, without their line ends.
struct TemplateText {
    std::vector<std::string> lines;
    // The file it was read from (UTF-8), for messages about it; empty when it came from no file.
    std::string path;
};

// Reads a template by its file name: fills `out`, or returns false with a message for the
// operator in `error`. Replaceable so that tests and the command line can supply their own.
using TemplateReader =
    std::function<bool(const std::string& name, TemplateText& out, std::string& error)>;

// Reads one template file at `path`: CR LF, LF or CR line ends; windows-1251, or UTF-8 when
// the file is valid UTF-8 with characters beyond ASCII (it is converted).
bool ReadTemplateFile(const std::string& path, TemplateText& out, std::string& error);

// Where a template is looked for, in order: the operator's folder first, so that an edited
// copy wins, then beside the program (the build tree and the installed share folder).
std::vector<std::string> TemplateFolders(const Workspace& ws);

// The same on a template's bytes; `name` is what messages call it.
bool ParseTemplateText(std::string bytes, const std::string& name, TemplateText& out,
                       std::string& error);

// A reader that takes the first folder of TemplateFolders that holds the file.
TemplateReader FolderTemplateReader(const Workspace& ws);

class ResultsTable {
  public:
    enum class Outcome {
        Rendered,       // a page was rendered; PageText holds it
        NoInformation,  // nothing is marked: "Нет информации!"
        Failed,         // the template could not be used; Error says why, the page is unchanged
        Unchanged,      // nothing to do (first page on Back, last page on Forward)
    };

    ResultsTable(Workspace& ws, TemplateReader reader, std::function<CalendarDate()> today = Today);

    // The load of the window: counts the marks (for single readings, marks every reading
    // first), goes to the first page and renders it.
    Outcome Load();
    Outcome Forward();
    Outcome Back();
    // Renders the page PageIndex from its recorded start and records where the next begins.
    Outcome ShowTablePage();
    // Starts again from the first page (rows per page changed).
    Outcome Restart();

    // Renders one page of template `name` from NextPoint. On failure nothing changes but
    // NextPoint and the flags, and the previous page text stays.
    bool FileScan(const std::string& name);
    // Expands one template line (windows-1251 in and out).
    std::string printstr(const std::string& s);

    std::string TemplateName() const;
    const std::string& PageText() const { return page_; }  // UTF-8, CR LF line ends
    const std::string& Error() const { return error_; }

    int32_t PageIndex = 0;
    std::vector<int32_t> PageStart;
    int32_t NextPoint = 0;
    bool InRowBlock = false;
    bool DataExhausted = false;
    int32_t MarkedCount = 0;

  private:
    int32_t Points() const;
    std::string FieldN();
    std::string FieldA();

    Workspace& ws_;
    TemplateReader reader_;
    std::function<CalendarDate()> today_;
    std::string page_;
    std::string error_;
    std::string decimalSeparator_;  // cp1251
    std::string date_;              // of the page being rendered, cp1251
    bool rendered_ = false;         // a page has been rendered since the load
};

}  // namespace ws

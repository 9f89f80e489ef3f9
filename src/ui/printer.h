#pragma once
// The printer as logic sees it: the default printer, a PDF file, or a fake in tests.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/surface.h"

namespace ws {

class Prompter;
class FilePicker;

class Printer {
  public:
    virtual ~Printer() = default;
    // False when there is nothing to print on (no default printer installed).
    virtual bool Available() const = 0;
    virtual std::string Name() const = 0;
    // The fonts the printer offers, by family name.
    virtual std::vector<std::string> FontNames() const = 0;
    // Starts a one-page document; the surface lives until EndDocument. Null on failure.
    virtual Surface* BeginDocument(bool landscape) = 0;
    // Finishes the document so that it is printed (or written); false when that failed.
    virtual bool EndDocument() = 0;
};

// What a print command needs from the outside world.
struct PrintServices {
    Printer& printer;
    Prompter& prompter;
    FilePicker& picker;
    // Makes a printer that writes a PDF file at the given UTF-8 path.
    std::function<std::unique_ptr<Printer>(const std::string& pdfPath)> pdfPrinter;
};

// Draws one page on the default printer. Where there is none, says so and offers to save the
// page as PDF instead. `draw` receives the page surface. Returns true when a page was printed
// or saved.
bool PrintPage(PrintServices& services, bool landscape, const std::function<void(Surface&)>& draw);

// Draws one page into a PDF file at `path` without asking; a failure is reported to the user.
bool SavePagePdf(PrintServices& services, const std::string& path, bool landscape,
                 const std::function<void(Surface&)>& draw);

}  // namespace ws

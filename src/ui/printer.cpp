#include "ui/printer.h"

#include "ui/file_picker.h"
#include "ui/prompter.h"

namespace ws {
namespace {

bool DrawOn(Printer& printer, bool landscape, const std::function<void(Surface&)>& draw) {
    Surface* page = printer.BeginDocument(landscape);
    if (!page)
        return false;
    draw(*page);
    return printer.EndDocument();
}

}  // namespace

bool SavePagePdf(PrintServices& services, const std::string& path, bool landscape,
                 const std::function<void(Surface&)>& draw) {
    if (!services.pdfPrinter)
        return false;
    std::unique_ptr<Printer> pdf = services.pdfPrinter(path);
    if (!pdf || !DrawOn(*pdf, landscape, draw)) {
        services.prompter.Message("Не удалось записать файл " + path, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

bool PrintPage(PrintServices& services, bool landscape, const std::function<void(Surface&)>& draw) {
    if (services.printer.Available()) {
        if (DrawOn(services.printer, landscape, draw))
            return true;
        services.prompter.Message("Ошибка печати на принтере " + services.printer.Name(),
                                  MsgIcon::Exclamation);
        return false;
    }
    if (!services.prompter.AskYesNo("Принтер не установлен. Сохранить страницу в файл PDF?"))
        return false;
    const std::string path =
        services.picker.SaveFile("Сохранить страницу", FileFilter{"PDF (*.pdf)", "*.pdf", "pdf"});
    if (path.empty())
        return false;
    return SavePagePdf(services, path, landscape, draw);
}

}  // namespace ws

#include <gtest/gtest.h>

#include <memory>

#include "support/fake_file_picker.h"
#include "support/fake_printer.h"
#include "support/fake_prompter.h"
#include "ui/printer.h"

namespace ws {
namespace {

struct Rig {
    test::FakePrinter printer;
    test::FakePrompter prompter;
    test::FakeFilePicker picker;
    std::vector<std::string> pdfPaths;
    test::FakePrinter* lastPdf = nullptr;
    bool pdfFails = false;
    PrintServices services{printer, prompter, picker, [this](const std::string& path) {
                               pdfPaths.push_back(path);
                               auto p = std::make_unique<test::FakePrinter>();
                               p->failEnd = pdfFails;
                               lastPdf = p.get();
                               return std::unique_ptr<Printer>(std::move(p));
                           }};
    int draws = 0;
    std::function<void(Surface&)> draw = [this](Surface& s) {
        ++draws;
        s.Line(0, 0, 100, 100, kBlack);
    };
};

// Without a printer the page is offered as a PDF: No or a cancelled name draws nothing, a
// name given is where it is saved.
TEST(PrintPage, NoPrinterOffersAPdf) {
    Rig rig;
    rig.printer.available = false;
    EXPECT_FALSE(PrintPage(rig.services, true, rig.draw));  // answered No
    ASSERT_EQ(rig.prompter.shown.size(), 1u);
    EXPECT_TRUE(rig.prompter.shown[0].question);
    rig.prompter.answers = {true};
    EXPECT_FALSE(PrintPage(rig.services, true, rig.draw));  // dialog cancelled
    EXPECT_EQ(rig.draws, 0);
    EXPECT_TRUE(rig.pdfPaths.empty());
    rig.prompter.answers = {true};
    rig.picker.answers = {"/tmp/page.pdf"};
    EXPECT_TRUE(PrintPage(rig.services, true, rig.draw));
    EXPECT_EQ(rig.picker.requests.back().filter.defaultSuffix, "pdf");
    EXPECT_EQ(rig.pdfPaths, std::vector<std::string>{"/tmp/page.pdf"});
    EXPECT_EQ(rig.draws, 1);
}

TEST(PrintPage, FailuresAreReportedNotSwallowed) {
    Rig rig;
    rig.printer.failBegin = true;
    EXPECT_FALSE(PrintPage(rig.services, true, rig.draw));
    ASSERT_EQ(rig.prompter.shown.size(), 1u);
    EXPECT_EQ(rig.prompter.shown[0].icon, MsgIcon::Exclamation);
    rig.pdfFails = true;
    EXPECT_FALSE(SavePagePdf(rig.services, "/x/y.pdf", false, rig.draw));
    EXPECT_EQ(rig.prompter.shown.size(), 2u);
}

}  // namespace
}  // namespace ws

#pragma once
#include <memory>
#include <string>
#include <vector>

#include "support/recording_surface.h"
#include "ui/printer.h"

namespace ws::test {

// A printer that records its one page; `available` false plays a machine without a printer.
class FakePrinter : public Printer {
  public:
    bool Available() const override { return available; }
    std::string Name() const override { return "Fake"; }
    std::vector<std::string> FontNames() const override { return fonts; }
    Surface* BeginDocument(bool landscape) override {
        if (!available || failBegin)
            return nullptr;
        this->landscape = landscape;
        page = std::make_unique<RecordingSurface>(16000, 11000, 1.2);
        ++documents;
        return page.get();
    }
    bool EndDocument() override { return !failEnd; }

    bool available = true;
    bool failBegin = false;
    bool failEnd = false;
    bool landscape = false;
    int documents = 0;
    std::vector<std::string> fonts{"Courier New", "Arial", "Courier", "Times New Roman"};
    std::unique_ptr<RecordingSurface> page;
};

}  // namespace ws::test

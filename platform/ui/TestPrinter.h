#pragma once
// A printer for tests: pages are images at a modest resolution, and every
// drawing call is noted per page (RecordingCanvas.h).
//
// Calls made on the canvas outside a document are not noted. The set-up
// dialog takes the answer of the test script when one is installed, else
// the answer set here (OK by default).
#include "platform/base/RecordingCanvas.h"
#include "platform/ui/Printer.h"

#include <QImage>
#include <QPainter>

#include <memory>
#include <vector>

namespace plat {

class QtCanvas;

class TestPrinter : public Printer {
public:
    // An A4 page at 150 pixels per inch with margins of a quarter inch.
    explicit TestPrinter(int pixelsPerInch = 150, int pageWidth = 1165, int pageHeight = 1679);
    ~TestPrinter() override;

    bool SetupDialog(const Control* owner) override;
    int PageWidth() const override { return m_width; }
    int PageHeight() const override { return m_height; }
    int PixelsPerInch() const override { return m_ppi; }
    Canvas& GetCanvas() override;
    bool BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    bool Printing() const override { return m_printing; }

    void SetSetupAnswer(bool ok) { m_setupAnswer = ok; }
    int SetupDialogsShown() const { return m_setups; }
    // Pages of every document so far (white where nothing was drawn), the
    // calls on each, and the number of documents.
    const std::vector<QImage>& Pages() const { return m_pages; }
    const std::vector<std::vector<DrawCall>>& PageCalls() const { return m_calls; }
    int Documents() const { return m_documents; }
    void Clear();

private:
    void StartPage();
    void FinishPage();

    int m_ppi;
    int m_width;
    int m_height;
    bool m_setupAnswer = true;
    int m_setups = 0;
    bool m_printing = false;
    int m_documents = 0;
    QImage m_measure;
    std::unique_ptr<QtCanvas> m_device;
    std::unique_ptr<RecordingCanvas> m_canvas;
    QPainter m_painter;
    std::vector<QImage> m_pages;
    std::vector<std::vector<DrawCall>> m_calls;
};

// A service with one test printer; AnyPrinter answers as set (yes by
// default).
class TestPrinterService : public PrinterService {
public:
    explicit TestPrinterService(int pixelsPerInch = 150) : m_printer(pixelsPerInch) {}
    bool AnyPrinter() override { return m_any; }
    Printer& SystemPrinter() override { return m_printer; }
    TestPrinter& Test() { return m_printer; }
    void SetAnyPrinter(bool any) { m_any = any; }

private:
    TestPrinter m_printer;
    bool m_any = true;
};

} // namespace plat

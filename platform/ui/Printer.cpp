#include "platform/ui/Printer.h"

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/TestPrinter.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace plat {

namespace {

QWidget* DialogParent(const Control* owner)
{
    if (owner != nullptr)
        if (const Form* form = owner->ParentForm()) return form->Widget();
    return QApplication::activeWindow();
}

// The system's printer on Qt's print support: the printers the system
// lists, and PDF files chosen in the print dialog.
class QtPrinter : public Printer {
public:
    QtPrinter() : m_printer(QPrinter::HighResolution), m_canvas(&m_printer) {}

    // A PDF file without a dialog.
    QtPrinter(const std::string& pdfPath, int pixelsPerInch) : m_printer(QPrinter::HighResolution), m_canvas(&m_printer)
    {
        m_pdfOnly = true;
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(ToQString(pdfPath));
        m_printer.setResolution(pixelsPerInch);
        m_printer.setPageSize(QPageSize(QPageSize::A4));
        m_printer.setPageOrientation(QPageLayout::Portrait);
        m_printer.setPageMargins(QMarginsF(QuarterInchMm, QuarterInchMm, QuarterInchMm, QuarterInchMm),
                                 QPageLayout::Millimeter);
        m_canvas.GetFont().pixelsPerInch = m_printer.resolution();
    }

    bool SetupDialog(const Control* owner) override
    {
        if (ScopedDialogScript* script = ScopedDialogScript::Current()) return script->TakePrinterSetup();
        if (m_pdfOnly) return true;
        QPrintDialog dialog(&m_printer, DialogParent(owner));
        // One copy of everything that is laid out.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        const bool ok = dialog.exec() == QDialog::Accepted;
        // The canvas measures in the chosen printer's resolution.
        m_canvas.GetFont().pixelsPerInch = m_printer.resolution();
        return ok;
    }

    int PageWidth() const override { return m_printer.pageRect(QPrinter::DevicePixel).toRect().width(); }
    int PageHeight() const override { return m_printer.pageRect(QPrinter::DevicePixel).toRect().height(); }
    int PixelsPerInch() const override { return m_printer.resolution(); }
    Canvas& GetCanvas() override { return m_canvas; }

    bool BeginDoc() override
    {
        if (m_painter.isActive()) return true;
        m_printer.setCopyCount(1);
        if (!m_painter.begin(&m_printer)) return false;
        m_canvas.BeginPaint(&m_painter);
        return true;
    }

    void NewPage() override
    {
        if (m_painter.isActive()) m_printer.newPage();
    }

    void EndDoc() override
    {
        if (!m_painter.isActive()) return;
        m_canvas.EndPaint();
        m_painter.end();
    }

    bool Printing() const override { return m_painter.isActive(); }

private:
    static constexpr double QuarterInchMm = 6.35;
    QPrinter m_printer;
    QtCanvas m_canvas;
    QPainter m_painter;
    bool m_pdfOnly = false;
};

class QtPrinterService : public PrinterService {
public:
    // A PDF file can always be printed to, with or without printers of the
    // system.
    bool AnyPrinter() override { return true; }
    Printer& SystemPrinter() override
    {
        if (!m_printer) m_printer = std::make_unique<QtPrinter>();
        return *m_printer;
    }

private:
    std::unique_ptr<QtPrinter> m_printer;
};

PrinterService* g_service = nullptr;

} // namespace

PdfPrinterService::PdfPrinterService(const std::string& path, int pixelsPerInch)
    : m_printer(std::make_unique<QtPrinter>(path, pixelsPerInch))
{
}

PdfPrinterService::~PdfPrinterService() = default;

PrinterService& Printers()
{
    if (g_service != nullptr) return *g_service;
    static QtPrinterService system;
    return system;
}

PrinterService* SetPrinterService(PrinterService* service)
{
    PrinterService* previous = g_service;
    g_service = service;
    return previous;
}

// ---- TestPrinter ----

TestPrinter::TestPrinter(int pixelsPerInch, int pageWidth, int pageHeight)
    : m_ppi(pixelsPerInch), m_width(pageWidth), m_height(pageHeight), m_measure(1, 1, QImage::Format_RGB32)
{
    const int dotsPerMeter = static_cast<int>(pixelsPerInch / 0.0254 + 0.5);
    m_measure.setDotsPerMeterX(dotsPerMeter);
    m_measure.setDotsPerMeterY(dotsPerMeter);
    m_device = std::make_unique<QtCanvas>(&m_measure, pixelsPerInch);
    m_canvas = std::make_unique<RecordingCanvas>(*m_device);
}

TestPrinter::~TestPrinter() { EndDoc(); }

bool TestPrinter::SetupDialog(const Control*)
{
    ++m_setups;
    if (ScopedDialogScript* script = ScopedDialogScript::Current()) return script->TakePrinterSetup();
    return m_setupAnswer;
}

Canvas& TestPrinter::GetCanvas() { return *m_canvas; }

void TestPrinter::StartPage()
{
    QImage page(m_width, m_height, QImage::Format_RGB32);
    page.setDotsPerMeterX(m_measure.dotsPerMeterX());
    page.setDotsPerMeterY(m_measure.dotsPerMeterY());
    page.fill(Qt::white);
    m_pages.push_back(page);
    m_calls.emplace_back();
    m_canvas->Clear();
    m_painter.begin(&m_pages.back());
    m_device->BeginPaint(&m_painter);
}

void TestPrinter::FinishPage()
{
    m_device->EndPaint();
    m_painter.end();
    m_calls.back() = m_canvas->Calls();
    m_canvas->Clear();
}

bool TestPrinter::BeginDoc()
{
    if (m_printing) return true;
    m_printing = true;
    ++m_documents;
    StartPage();
    return true;
}

void TestPrinter::NewPage()
{
    if (!m_printing) return;
    FinishPage();
    StartPage();
}

void TestPrinter::EndDoc()
{
    if (!m_printing) return;
    FinishPage();
    m_printing = false;
}

void TestPrinter::Clear()
{
    EndDoc();
    m_pages.clear();
    m_calls.clear();
    m_documents = 0;
}

} // namespace plat

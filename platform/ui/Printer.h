#pragma once
// Printing: the system's printer behind a service that tests replace.
//
// A printer measures on its canvas at any time, in the device's pixels and
// font resolution, without starting anything on the device; it draws only
// between BeginDoc and EndDoc, on the current page. The canvas's origin is
// the top-left corner of the printable area, which is PageWidth x
// PageHeight device pixels. Every document is printed once (one copy).
#include <memory>
#include <string>

namespace plat {

class Canvas;
class Control;

class Printer {
public:
    virtual ~Printer() = default;

    // The set-up dialog over the owner's form: the user picks the printer
    // (or a PDF file) and the paper. False when cancelled. While a test
    // script is installed (TestHooks.h) it takes the script's answer.
    virtual bool SetupDialog(const Control* owner) = 0;

    // The printable area in device pixels, and the device's vertical pixels
    // per inch.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int PixelsPerInch() const = 0;

    virtual Canvas& GetCanvas() = 0;
    // Starts a document on its first page; false (and nothing printed)
    // when the device cannot be opened.
    virtual bool BeginDoc() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    virtual bool Printing() const = 0;
};

class PrinterService {
public:
    virtual ~PrinterService() = default;
    // Whether anything can be printed on.
    virtual bool AnyPrinter() = 0;
    // The one system printer (its settings kept from one use to the next).
    virtual Printer& SystemPrinter() = 0;
};

// The current service: the system's unless a test installed another.
PrinterService& Printers();
// Installs a service (nullptr: the system's again); returns the previous
// one (nullptr when it was the system's).
PrinterService* SetPrinterService(PrinterService* service);

// A service whose one printer writes a PDF file: an A4 page at the given
// resolution with margins of a quarter inch (the test printer's page). Its
// set-up dialog shows nothing: it takes the test script's answer when one
// is installed, else OK. Each document replaces the file.
class PdfPrinterService : public PrinterService {
public:
    PdfPrinterService(const std::string& path, int pixelsPerInch);
    ~PdfPrinterService() override;
    bool AnyPrinter() override { return true; }
    Printer& SystemPrinter() override { return *m_printer; }

private:
    std::unique_ptr<Printer> m_printer;
};

class ScopedPrinterService {
public:
    explicit ScopedPrinterService(PrinterService& service) : m_previous(SetPrinterService(&service)) {}
    ~ScopedPrinterService() { SetPrinterService(m_previous); }
    ScopedPrinterService(const ScopedPrinterService&) = delete;
    ScopedPrinterService& operator=(const ScopedPrinterService&) = delete;

private:
    PrinterService* m_previous;
};

} // namespace plat

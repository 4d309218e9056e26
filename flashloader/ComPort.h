#pragma once
// The flash loader's sequencer: it owns the protocol driver, holds the
// pre-process block and the firmware image parsed from the embedded S-record
// lines, builds the command scripts, starts the five operations with their
// time-outs and parameters, hands identity replies to the window's check and
// reports the progress of the uploads. The COM port number is kept in the
// INI file QM7150Q.INI (section "Com Settings", key "Port").
#include "flashloader/cmcCloneDrv.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class cmcTask;

namespace fl {

// The password typed in the password dialog (1 to 16 characters); the
// password script carries it.
extern std::string g_FlashPassword;

// Why the image cannot be written (ComPort::ImageError).
enum : int {
    kImageOk = 0,
    kImageBadLine = 1,      // a line is not a well-formed S-record
    kImageOutOfRange = 2,   // no data record, or one that starts beyond the flash
    kImageDropped = 3,      // a data record that does not fit into the flash
};

class ComPort {
public:
    // Runs on every finished identity query; may set the result's code.
    using IdCheck = std::function<void(dst_CDrv_Result& result)>;
    // Receives (progress done, progress total) while an upload runs.
    using ProgressReport = std::function<void(int done, int total)>;

    static constexpr int kFirstModel = 0x7143;
    static constexpr int kSecondModel = 0x7148;
    static constexpr int kPreProcessBufferSize = 8192;

    // Loads the embedded data and the port from the INI file at iniPath.
    explicit ComPort(std::string iniPath = DefaultIniPath());
    // Saves the port to the INI file. A running operation ends without its
    // completion.
    ~ComPort();
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // QM7150Q.INI in the user's settings folder.
    static std::string DefaultIniPath();

    // 0 when the image can be written (see the kImage codes).
    int ImageError() const;
    int GetPort() const { return m_driver->PortNumber(); }
    bool IsBusy() const { return m_driver->IsBusy(); }
    // Sets port n at 9600 baud; false (nothing changes) while busy.
    bool SetPort(int n);
    void CancelOperation() { m_driver->Cancel(); }
    void SetIdCheck(IdCheck check) { m_idCheck = std::move(check); }
    void SetProgressReport(ProgressReport report) { m_progressReport = std::move(report); }
    // Set when a password was entered: the password operation then sends it.
    void SetUsePassword(bool on) { m_usePassword = on; }
    bool UsePassword() const { return m_usePassword; }
    uint16_t ImageSum() const { return m_imageSum; }
    int BlockCount() const { return m_blockCount; }

    // Builds the command script (with the password frame when `password`;
    // ending with the radio moved to 38400 baud when `fast`), makes it the
    // driver's script and returns it.
    std::string BuildScript(bool password, bool fast);
    std::string BuildBootScript() { return BuildScript(false, true); }

    // The five operations; each refuses (false) while the driver is busy.
    bool StartIdQuery(CloneCompletion completion);
    bool StartPassword(CloneCompletion completion);
    bool StartBootEntry(CloneCompletion completion);
    bool StartPreProcess(CloneCompletion completion);
    bool StartRomWrite(CloneCompletion completion);

    // Parses S-record lines (ended by an empty line) into the image.
    void LoadImage(const char* const* lines);
    void LoadPreProcessData();
    // Sum of all image bytes modulo 65536.
    uint16_t SumImage() const;
    void LoadPortSetting();
    void SavePortSetting() const;

    // Observers.
    const uint8_t* Image() const { return m_image.data(); }
    const uint8_t* PreProcessData() const { return m_preProcess.data(); }
    int PreProcessLength() const { return m_preProcessLength; }
    uint32_t LowestRecordAddress() const { return m_lowest; }
    uint32_t HighestRecordAddress() const { return m_highest; }
    uint32_t LastDataAddress() const { return m_lastData; }
    uint32_t CurrentRecordAddress() const { return m_current; }
    int DataByteCount() const { return m_dataBytes; }
    const dst_FlashParam& Param() const { return m_param; }
    cmcCloneDrv& Driver() { return *m_driver; }

private:
    void OnDriverDone(dst_CDrv_Result& result);
    void OnProgressTick();
    CloneCompletion DriverCompletion();

    IdCheck m_idCheck;
    std::unique_ptr<cmcCloneDrv> m_driver;
    bool m_usePassword = false;
    dst_FlashParam m_param;
    CloneCompletion m_completion;
    int m_preProcessLength = 0;
    std::vector<uint8_t> m_preProcess;
    int m_blockCount = 0;
    uint32_t m_lowest = 0xFFFFFFFF;
    uint32_t m_current = 0xFFFFFFFF;
    uint32_t m_highest = 0xFFFFFFFF;
    uint32_t m_lastData = 0;
    int m_dataBytes = 0;
    int m_loadError = kImageOk;
    uint16_t m_imageSum = 0;
    std::vector<uint8_t> m_image;
    cmcTask* m_progressTask; // owned; disposed, since it may be running
    ProgressReport m_progressReport;
    std::string m_iniPath;
};

} // namespace fl

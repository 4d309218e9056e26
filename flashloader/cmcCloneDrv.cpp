#include "flashloader/cmcCloneDrv.h"

#include "core/TextFunctions.h"
#include "core/cmcTask.h"
#include "platform/base/Clock.h"

#include <algorithm>
#include <charconv>

namespace fl {

namespace {

int BaudOf(const std::string& text)
{
    int baud = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first != last && *first == ' ') ++first;
    auto [end, ec] = std::from_chars(first, last, baud);
    (void)end;
    return ec == std::errc() ? baud : 0;
}

// The boot loader's handshake: what is sent in states 19, 21, ... 29 and what
// answers it in states 20, 22, ... 30.
constexpr uint8_t kHandshakeSent[6] = {0x00, 0x55, 0x44, 0x43, 0x42, 0x41};
constexpr uint8_t kHandshakeAnswer[6] = {0x00, 0xAA, 0x44, 0x43, 0x42, 0x41};
constexpr uint8_t kWake[4] = {0x56, 0x4F, 0x53, 0x4B};

constexpr int kMaxReplyFrame = 521;
constexpr int kRecordData = 128;

} // namespace

cmcCloneDrv::cmcCloneDrv() : m_task(new cmcTask)
{
    m_task->SetCallback([this](void*, cmcTask*) { OnTick(); }, nullptr);
}

cmcCloneDrv::~cmcCloneDrv()
{
    *m_alive = false;
    m_task->Dispose();
}

void cmcCloneDrv::SetPort(int portNumber, const std::string& baudText)
{
    m_portNumber = portNumber;
    m_baudText = baudText;
}

void cmcCloneDrv::SetModel(int firstModel, int secondModel, int subCode)
{
    m_firstModel = firstModel;
    m_secondModel = secondModel;
    m_subCode = subCode;
}

void cmcCloneDrv::SetScript(const std::string& script) { m_script = script; }

void cmcCloneDrv::SetDefaultTimeout(int ms)
{
    if (ms > 0) m_replyTimeout = ms;
}

void cmcCloneDrv::SetScriptTimeout(int ms)
{
    if (ms > 0) m_scriptTimeout = ms;
}

bool cmcCloneDrv::Start(uint8_t operation, uint8_t firstState, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_completion = std::move(completion);
    m_operation = operation;
    m_state = firstState;
    // A cancel pressed while nothing ran must not end this operation.
    m_cancel = false;
    m_sumAccepted = false;
    NewResult();
    m_task->Schedule(10);
    return true;
}

void cmcCloneDrv::NewResult()
{
    m_result = std::make_unique<dst_CDrv_Result>();
    m_result->Operation = m_operation;
    m_result->Code = kResultOpenFailed;
    m_result->ModelCode = m_firstModel;
    m_result->SubCode = m_subCode;
    m_wireBytes = 0;
}

bool cmcCloneDrv::StartIdQuery(CloneCompletion completion) { return Start(kOpIdQuery, 2, std::move(completion)); }

bool cmcCloneDrv::StartPassword(CloneCompletion completion) { return Start(kOpPassword, 2, std::move(completion)); }

bool cmcCloneDrv::StartBootEntry(CloneCompletion completion) { return Start(kOpBootEntry, 2, std::move(completion)); }

bool cmcCloneDrv::StartPreProcess(const dst_FlashParam& param, CloneCompletion completion)
{
    // Chunks of no bytes would never finish the upload.
    if (IsBusy() || param.ChunkSize <= 0) return false;
    m_total = param.Total;
    m_chunk = param.ChunkSize;
    m_address = param.FirstAddress;
    m_endAddress = param.EndAddress;
    m_data = param.Data;
    m_done = 0;
    // No script: the port is still open from the boot entry.
    return Start(kOpPreProcess, 31, std::move(completion));
}

bool cmcCloneDrv::StartRomWrite(const dst_FlashParam& param, CloneCompletion completion)
{
    if (IsBusy()) return false;
    m_total = param.Total;
    m_chunk = param.ChunkSize;
    m_imageSum = param.ImageSum;
    m_address = param.FirstAddress;
    m_endAddress = param.EndAddress;
    m_data = param.Data;
    m_done = 0;
    return Start(kOpRomWrite, 2, std::move(completion));
}

bool cmcCloneDrv::DrainInput()
{
    if (!m_port.IsOpen()) return false;
    plat::Sleep(200);
    uint8_t b;
    for (int dropped = 0; dropped < 65535 && m_port.InQueue() > 0; ++dropped)
        if (m_port.Read(&b, 1) <= 0) break;
    return true;
}

void cmcCloneDrv::ReadInput()
{
    // Never more than one read's worth waits here, whatever the line sends.
    const int room = static_cast<int>(sizeof m_readBuffer) - m_receive.Length();
    int n = m_port.Read(m_readBuffer, room);
    if (n <= 0) return;
    m_receive.AppendBytes(m_readBuffer, n);
    m_wireBytes += n;
}

int cmcCloneDrv::TakeAwaited(int awaited, int other)
{
    ReadInput();
    for (int b = TakeByte(); b >= 0; b = TakeByte())
        if (b == awaited || b == other) return b;
    return -1;
}

cmcBuff cmcCloneDrv::ReadReplyFrame()
{
    ReadInput();
    cmcBuff candidate;
    for (int b = TakeByte(); b >= 0; b = TakeByte()) {
        if (b == 0xFE) {
            m_frame.Clear();
            m_frame.AppendByte(0xFE);
        } else if (m_frame.Length() == 0) {
            // Outside a frame.
        } else if (b == 0xFD) {
            candidate.Assign(m_frame);
            m_frame.Clear();
        } else if (m_frame.Length() >= kMaxReplyFrame) {
            m_frame.Clear();
            candidate.Clear();
            candidate.AppendByte(0x00);
            return candidate;
        } else {
            m_frame.AppendByte(static_cast<uint8_t>(b));
        }
    }
    return candidate;
}

void cmcCloneDrv::SendFrame()
{
    m_port.Write(m_frame);
    m_frame.Clear();
}

void cmcCloneDrv::SendBootFrame(int model)
{
    const uint8_t frame[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE8,
                             static_cast<uint8_t>(model >> 8), static_cast<uint8_t>(model),
                             static_cast<uint8_t>(m_subCode >> 8), static_cast<uint8_t>(m_subCode),
                             0xF0, 0x30, 0x30, 0xFD};
    m_frame.Clear();
    m_frame.AppendBytes(frame, sizeof frame);
    SendFrame();
}

void cmcCloneDrv::SendByte(uint8_t b) { m_port.Write(&b, 1); }

void cmcCloneDrv::AppendEscaped(uint8_t b)
{
    // FA to FF would read as frame markers or acknowledges: they travel as FF
    // and their low four bits.
    if (b >= 0xFA) {
        m_frame.AppendByte(0xFF);
        m_frame.AppendByte(b & 0x0F);
    } else {
        m_frame.AppendByte(b);
    }
}

void cmcCloneDrv::SendSumFrame(uint8_t kind)
{
    m_frame.Clear();
    m_frame.AppendByte(0xFE);
    m_frame.AppendByte(0xFE);
    m_frame.AppendByte(kind);
    AppendEscaped(static_cast<uint8_t>(m_imageSum >> 8));
    AppendEscaped(static_cast<uint8_t>(m_imageSum));
    m_frame.AppendByte(0xFD);
    SendFrame();
}

uint8_t cmcCloneDrv::ImageByte(uint64_t address) const
{
    return m_data != nullptr && address < kFlashImageSize ? m_data[address] : 0xFF;
}

// Sends the record at the current address, skipping blank (all FF) ones in
// the same tick; answers the next state. The walk covers every block up to
// the one that holds the last data byte and never starts a record beyond the
// image; when the blocks left are all blank it goes on with the sum frames.
uint8_t cmcCloneDrv::SendNextRecord()
{
    const uint64_t end = std::min<uint64_t>(m_endAddress, kFlashImageSize - 1);
    for (;;) {
        const uint32_t address = m_address;
        bool blank = true;
        for (int i = 0; i < kRecordData && blank; ++i) blank = ImageByte(uint64_t{address} + i) == 0xFF;
        bool last = true;
        if (uint64_t{address} + kRecordData <= end) {
            m_address = address + kRecordData;
            last = false;
        }
        if (!blank) {
            m_frame.Clear();
            m_frame.AppendByte(0xFE);
            m_frame.AppendByte(0xFE);
            for (int shift = 24; shift >= 0; shift -= 8) AppendEscaped(static_cast<uint8_t>(address >> shift));
            for (int i = 0; i < kRecordData; ++i) AppendEscaped(ImageByte(uint64_t{address} + i));
            m_frame.AppendByte(0xFD);
            SendFrame();
            return last ? 38 : 37;
        }
        if (last) return 39;
    }
}

void cmcCloneDrv::Step()
{
    if (!m_result) {
        m_state = 0;
        return;
    }
    uint8_t next = static_cast<uint8_t>(m_state + 1);
    const bool expired = m_timeout.Remaining() == 0;
    bool progress = false;
    dst_CDrv_Result& result = *m_result;

    switch (m_state) {
    case 1: // hold
        next = 1;
        break;
    case 2: // start
        break;
    case 3: { // one script segment a tick
        m_tickCount = 0;
        bool ran = false;
        if (!m_script.empty() && m_script[0] == '(') {
            // The port is reopened only once what was queued for it has left,
            // so that no bytes are cut off by the change of speed.
            if (m_port.PendingOutput() == 0) {
                size_t close = m_script.find(')');
                std::string speed = m_script.substr(1, close == std::string::npos ? std::string::npos : close - 1);
                m_script.erase(0, close == std::string::npos ? std::string::npos : close + 1);
                ran = true;
                m_port.Close();
                if (!m_port.Open(m_portNumber, speed)) {
                    result.Code = kResultOpenFailed;
                    m_script.clear();
                    next = 43;
                    break;
                }
                DrainInput();
            }
        } else if (!m_script.empty()) {
            size_t open = m_script.find('(');
            std::string segment = m_script.substr(0, open);
            m_script.erase(0, open);
            m_port.Write(HexToBuff(segment));
            ran = true;
        }
        if (!m_script.empty() || m_port.PendingOutput() > 0) {
            // Waiting for output to leave is not progress: a line that never
            // takes it ends with the time-out.
            next = 3;
            progress = ran;
        }
        break;
    }
    case 4: // let the radio change speed, then follow it
        if (++m_tickCount < 10) {
            next = 4;
            break;
        }
        if (!m_port.SetBaud(BaudOf(m_baudText))) {
            result.Code = kResultBaudFailed;
            next = 43;
            break;
        }
        DrainInput();
        switch (m_operation) {
        case kOpIdQuery: next = 5; break;
        case kOpPassword: next = 7; break;
        case kOpBootEntry: next = 16; break;
        case kOpPreProcess: next = 31; break;
        default: next = 36; break;
        }
        break;
    case 5: { // identify
        const uint8_t frame[] = {0xFE, 0xFE, 0xEE, 0xEF, 0xE0,
                                 static_cast<uint8_t>(m_firstModel >> 8), static_cast<uint8_t>(m_firstModel),
                                 static_cast<uint8_t>(m_subCode >> 8), static_cast<uint8_t>(m_subCode), 0xFD};
        m_frame.Clear();
        m_frame.AppendBytes(frame, sizeof frame);
        SendFrame();
        break;
    }
    case 6: { // the identity reply FE EF EE E1 model sub payload
        cmcBuff frame = ReadReplyFrame();
        if (frame.Length() == 0) {
            next = 6;
            break;
        }
        const uint8_t* f = frame.Data();
        if (frame.Length() >= 8 && f[0] == 0xFE && f[1] == 0xEF && f[2] == 0xEE && f[3] == 0xE1) {
            result.ModelCode = f[4] << 8 | f[5];
            result.SubCode = f[6] << 8 | f[7];
            result.Payload.AssignBytes(f + 8, frame.Length() - 8);
            result.Code = kResultOk;
            if (m_firstModel == 0) m_firstModel = result.ModelCode;
        } else {
            result.Code = kResultRefused;
        }
        next = 43;
        break;
    }
    case 7: // the password went with the script
        result.Code = kResultOk;
        next = 43;
        break;
    case 16:
        SendBootFrame(m_firstModel);
        break;
    case 17:
        SendBootFrame(m_secondModel);
        break;
    case 18: // wake the boot loader until it answers 55
        if (TakeAwaited(0x55) < 0) {
            m_port.Write(kWake, sizeof kWake);
            next = 18;
        }
        break;
    case 19: case 21: case 23: case 25: case 27: case 29:
        SendByte(kHandshakeSent[(m_state - 19) / 2]);
        break;
    case 20: case 22: case 24: case 26: case 28: case 30: {
        if (TakeAwaited(kHandshakeAnswer[(m_state - 20) / 2]) < 0) {
            next = m_state;
            break;
        }
        if (m_state == 30) {
            result.Code = kResultOk;
            next = 43;
        }
        break;
    }
    case 31: { // announce the length, high byte first
        const uint8_t length[] = {static_cast<uint8_t>(m_total >> 8), static_cast<uint8_t>(m_total)};
        m_port.Write(length, 2);
        break;
    }
    case 32: // its echo
        if (TakeAwaited(static_cast<uint8_t>(m_total >> 8)) < 0) next = 32;
        break;
    case 33:
        if (TakeAwaited(static_cast<uint8_t>(m_total)) >= 0)
            m_tickCount = 0;
        else
            next = 33;
        break;
    case 34: // one chunk every 25 ticks
        progress = true;
        next = 34;
        if (++m_tickCount >= 25) {
            m_tickCount = 0;
            int left = m_total - m_done;
            if (m_chunk < left) {
                m_port.Write(m_data + m_done, m_chunk);
                m_done += m_chunk;
            } else {
                if (left > 0) m_port.Write(m_data + m_done, left);
                next = 35;
            }
        }
        break;
    case 35: // the block arrived: AA (the radio may take long)
        progress = true;
        if (TakeAwaited(0xAA) >= 0) {
            result.Code = kResultOk;
            next = 43;
        } else {
            next = 35;
        }
        break;
    case 36:
        next = SendNextRecord();
        ++m_done;
        break;
    case 37: case 38: case 40: { // FB accepts, FA refuses; the radio may take long
        progress = true;
        int b = TakeAwaited(0xFB, 0xFA);
        if (b == 0xFB) {
            // After the first sum frame the radio holds the new firmware.
            m_sumAccepted = m_state == 40;
            next = m_state == 37 ? 36 : m_state == 38 ? 39 : 41;
        } else if (b == 0xFA) {
            result.Code = kResultRefused;
            next = 43;
        } else {
            next = m_state;
        }
        break;
    }
    case 39:
        SendSumFrame(0x01);
        break;
    case 41:
        SendSumFrame(0x0F);
        m_tickCount = 0;
        break;
    case 42:
        if (++m_tickCount >= 3)
            result.Code = kResultOk;
        else
            next = 42;
        break;
    case 43: // let the output leave before the port closes
        if (m_port.PendingOutput() > 0) next = 43;
        break;
    default: // idle states
        next = 0;
        break;
    }

    if (next != m_state) progress = true;
    if (progress) {
        m_timeout.Start(static_cast<uint32_t>(next == 3 && !m_script.empty() ? m_scriptTimeout : m_replyTimeout));
    } else if (expired) {
        if (m_state == 43) {
            // Output that never leaves: finish, keeping the first error.
            if (result.Code == kResultOk) result.Code = kResultTimeout;
            next = 44;
        } else {
            result.Code = kResultTimeout;
            next = 43;
        }
    }
    if (m_receive.Length() > 4096) m_receive.Compact();
    // Once the radio accepted the image sum, the pass has succeeded: a late
    // cancel no longer changes that.
    if (m_cancel && !m_sumAccepted) {
        result.Code = kResultCancelled;
        next = 43;
    }
    m_cancel = false;
    m_state = next;
}

void cmcCloneDrv::OnTick()
{
    auto alive = m_alive;
    if (m_state != 0) Step();
    if (m_state != 0 && m_port.WriteFailed()) {
        m_result->Code = kResultWriteFailed;
        m_state = 44;
    }
    if (m_state == 44) {
        // The boot entry and the pre-process upload leave the port open for
        // the operation that follows them.
        if (m_operation == kOpIdQuery || m_operation == kOpPassword || m_operation == kOpRomWrite ||
            m_result->Code != kResultOk)
            m_port.Close();
        m_state = 0;
        std::unique_ptr<dst_CDrv_Result> result = std::move(m_result);
        CloneCompletion completion = std::move(m_completion);
        m_completion = nullptr;
        if (completion) completion(*result);
        if (!*alive) return;
        m_receive.Clear();
        m_frame.Clear();
    }
    if (m_state == 0) m_task->Schedule(-1);
}

} // namespace fl

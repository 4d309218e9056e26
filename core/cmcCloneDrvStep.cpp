// The step machine of the clone protocol driver.
//
// States: 0 idle; 1 hold while an echo is pending; 2 start; 3 run the
// script; 4 reopen at the base settings; 5/6 identify and its reply; 7/8 read
// request and data; 9/10 write request and its acknowledge; 11 send data;
// 12 wait for an acknowledge; 13/14 end frame and the write-end reply; 15/16
// parameter exchange; 17 wait for the output to drain; 18 finish.
#include "core/cmcCloneDrv.h"

#include "core/TextFunctions.h"
#include "core/cmcTask.h"

#include <algorithm>
#include <memory>

void cmcCloneDrv::SetCode(int code)
{
    m_result->ResultCode = code;
    m_failureSet = code != kCloneOk;
}

// A time-out keeps a failure that the operation found before it.
void cmcCloneDrv::TimeOut()
{
    int code = kCloneTimeout;
    if (m_echoCheck && m_sent.Length() > 0) {
        code = kCloneEchoError;
    } else if (m_passwordSent) {
        code = kClonePasswordRefused;
        m_passwordSent = false;
    }
    if (!m_failureSet) SetCode(code);
}

uint32_t cmcCloneDrv::TimeoutFor(int state) const
{
    int ms = m_defaultTimeout;
    switch (state) {
    case 3:
        if (m_scriptPos < m_script.size()) ms = m_scriptTimeout;
        break;
    case 6: ms = m_identityTimeout; break;
    case 10: ms = m_ackTimeout; break;
    case 14: ms = m_writeEndTimeout; break;
    case 16: ms = m_paramTimeout; break;
    default: break;
    }
    return static_cast<uint32_t>(ms);
}

void cmcCloneDrv::Step()
{
    const int state = m_state;
    int next = state + 1;
    const bool expired = m_timeout.Remaining() == 0;
    bool progress = true;
    bool act = true;

    if (m_echoCheck && state != 17) {
        if (m_sent.Length() > 0) {
            progress = false;
            ReadIntoReceive();
            bool mismatch = false;
            while (m_sent.Length() > 0 && m_receive.Length() > 0) {
                if (m_receive.At(0) != m_sent.At(0)) {
                    mismatch = true;
                    break;
                }
                m_receive.PopFront();
                m_sent.PopFront();
                progress = true;
            }
            // Only the sent bytes are reset: a reply that came right after
            // its echo stays in the receive buffer.
            if (m_sent.Length() == 0) m_sent.Clear();
            if (mismatch) {
                SetCode(kCloneEchoError);
                next = 17;
                act = false;
            }
        }
        const bool pending = state == 11 ? m_sent.Length() > 128 : m_sent.Length() > 0;
        if (act && pending) {
            next = state; // hold until the echo is in
            act = false;
        }
    } else if (!m_echoCheck) {
        m_sent.SetLength(0);
    }

    if (act) Act(state, next, progress);

    const bool changed = next != state;
    if (!progress && !changed && expired) {
        TimeOut();
        // In the drain state a port that never empties ends the operation.
        next = state == 17 ? 18 : 17;
    }
    if (progress || next != state) m_timeout.Start(TimeoutFor(next));

    if (m_receive.Length() > 4096 || m_sent.Length() > 4096) {
        m_receive.Compact();
        m_sent.Compact();
    }
    m_state = next;
}

bool cmcCloneDrv::RunScriptSegment()
{
    const std::string& s = m_script;
    if (s[m_scriptPos] == '(') {
        size_t close = s.find(')', m_scriptPos + 1);
        std::string settings = s.substr(m_scriptPos + 1, close == std::string::npos ? std::string::npos : close - m_scriptPos - 1);
        m_scriptPos = close == std::string::npos ? s.size() : close + 1;
        BusyWait(300);
        m_port.Close();
        if (!m_port.Open(m_portNumber, settings)) return false;
        DrainInput();
        return true;
    }
    size_t open = s.find('(', m_scriptPos);
    size_t end = open == std::string::npos ? s.size() : open;
    cmcBuff bytes = HexToBuff(std::string_view(s).substr(m_scriptPos, end - m_scriptPos));
    m_scriptPos = end;
    m_port.Write(bytes.Data(), bytes.Length());
    return true;
}

void cmcCloneDrv::Act(int state, int& next, bool& progress)
{
    switch (state) {
    case 2:
        m_scriptPos = 0;
        m_receive.Clear();
        m_frame.Clear();
        m_sent.Clear();
        next = 3;
        break;

    case 3:
        if (m_scriptPos < m_script.size()) {
            // A change of settings waits until the bytes before it are out.
            if (m_script[m_scriptPos] == '(' && m_port.PendingOutput() > 0) {
                next = 3;
                progress = false;
                break;
            }
            if (!RunScriptSegment()) {
                SetCode(kCloneOpenFailed);
                m_scriptPos = m_script.size();
                next = 17;
                break;
            }
            next = m_scriptPos < m_script.size() || m_port.PendingOutput() > 0 ? 3 : 4;
        } else if (m_port.PendingOutput() > 0) {
            next = 3;
            progress = false;
        } else {
            next = 4;
        }
        break;

    case 4:
        m_port.Close();
        if (!m_port.Open(m_portNumber, m_baseSettings)) {
            SetCode(kCloneOpenFailed);
            next = 17;
            break;
        }
        DrainInput();
        if (m_mode == ModeIdentify)
            next = 5;
        else if (m_extendedAddress)
            next = 15;
        else
            next = m_mode == ModeRead ? 7 : 9;
        break;

    case 5:
        SendCommand(0xE0, m_modelCode, m_subCode);
        next = 6;
        break;

    case 6: {
        cmcBuff f = ReadReplyFrame();
        if (f.Length() == 0) {
            next = 6;
            progress = false;
            break;
        }
        const uint8_t* b = f.Data();
        if (f.Length() >= 8 && b[0] == 0xFE && b[1] == 0xEF && b[2] == 0xEE && b[3] == 0xE1) {
            m_result->ModelCode = b[4] << 8 | b[5];
            m_result->SubCode = b[6] << 8 | b[7];
            m_result->Payload.AssignBytes(b + 8, f.Length() - 8);
            if (m_modelCode == 0) m_modelCode = m_result->ModelCode;
            SetCode(kCloneOk);
        } else {
            SetCode(kCloneBadFrame);
        }
        next = 17;
        break;
    }

    case 7:
        SendCommand(0xE2, m_modelCode, m_subCode);
        next = 8;
        break;

    case 8:
        ReceiveData(next, progress);
        break;

    case 9:
        SendCommand(0xEB, m_modelCode, m_subCode);
        next = m_waitWriteAck ? 10 : 11;
        break;

    case 10:
        WaitAck(state, next, progress);
        break;

    case 11:
        SendData(next, progress);
        break;

    case 12:
        // The frames that reach the acknowledge point go out first; the
        // radio acknowledges only what it has received.
        if (m_frame.Length() > 0) {
            progress = HandOver();
            next = 12;
            break;
        }
        WaitAck(state, next, progress);
        break;

    case 13:
        SendEndFrame();
        next = 14;
        break;

    case 14: {
        cmcBuff f = ReadReplyFrame();
        if (f.Length() == 0) {
            next = 14;
            progress = false;
            break;
        }
        static const uint8_t kWriteEnd[] = {0xFE, 0xEF, 0xEE, 0xE6, 0x00};
        const bool ok = f.Length() == 5 && std::equal(kWriteEnd, kWriteEnd + 5, f.Data());
        SetCode(ok ? kCloneOk : kCloneWriteEndRefused);
        next = 17;
        break;
    }

    case 15:
        SendParameterFrame();
        next = 16;
        break;

    case 16: {
        cmcBuff f = ReadReplyFrame();
        if (f.Length() == 0) {
            next = 16;
            progress = false;
            break;
        }
        // The reply is checked, but the exchange goes on either way.
        const uint8_t* b = f.Data();
        m_paramReplyOk = f.Length() >= 11 && b[0] == 0xFE && b[1] == 0xEF && b[2] == 0xEE && b[3] == 0xE8 &&
                         (b[4] << 8 | b[5]) == (m_modelCode & 0xFFFF) && b[8] == 0x63 && b[9] == 0x31 &&
                         (b[10] == 0x30 || b[10] == 0x31);
        next = m_mode == ModeRead ? 7 : 9;
        break;
    }

    case 17:
        if (m_port.PendingOutput() > 0) {
            next = 17;
            progress = false;
        } else {
            next = 18;
        }
        break;

    default:
        next = state;
        break;
    }
}

void cmcCloneDrv::ReceiveData(int& next, bool& progress)
{
    next = 8;
    progress = false;
    if (ReadIntoReceive() <= 0) return;
    m_passwordSent = false;
    for (;;) {
        int b = m_receive.PopFront();
        if (b < 0) return;
        if (b == 0xFE) {
            m_frame.SetLength(0);
            m_frame.AppendByte(0xFE);
        } else if (m_frame.Length() == 0) {
            // Outside a frame.
        } else if (b == 0xFD) {
            int r = CheckFrame(m_frame);
            m_frame.SetLength(0);
            if (r == 1) {
                ++m_frameCount;
                progress = true;
            } else {
                SetCode(r == 0 ? (m_ranges ? CheckCoverage(*m_result, m_ranges) : kCloneOk) : r);
                next = 17;
                return;
            }
        } else if (m_frame.Length() >= FrameLimit()) {
            // The byte after the largest legal frame is not its end.
            SetCode(kCloneBadFrame);
            next = 17;
            return;
        } else {
            m_frame.AppendByte(static_cast<uint8_t>(b));
        }
    }
}

void cmcCloneDrv::WaitAck(int state, int& next, bool& progress)
{
    ReadIntoReceive();
    // Every byte before the answer is dropped in this same step, so a line
    // that babbles never piles up a backlog in front of the real answer;
    // bytes after the answer stay for the steps that follow.
    while (m_receive.Length() > 0) {
        const int b = m_receive.PopFront();
        if (b == 0xFB) {
            m_passwordSent = false;
            next = 11;
            return;
        }
        if (b == 0xFA) {
            m_passwordSent = false;
            SetCode(kCloneBadFrame);
            next = 17;
            return;
        }
    }
    next = state;
    progress = false;
}

void cmcCloneDrv::SendData(int& next, bool& progress)
{
    next = 11;
    progress = false;
    for (int pass = 0; pass < 8; ++pass) {
        if (!m_range || IsRangeEnd(*m_range)) {
            if (m_frame.Length() > 0 && HandOver()) progress = true;
            if (m_frame.Length() == 0 && m_port.PendingOutput() == 0) next = 13;
            return;
        }
        if (m_range->Last < m_writeAddress) {
            ++m_range;
            m_writeAddress = m_range->First;
        } else {
            BuildDataFrame();
        }
        bool held = false;
        if (m_frame.Length() > 0) {
            if (HandOver())
                progress = true;
            else
                held = true;
        }
        if (m_ackInterval != 0 && m_writeAddress != m_range->First && m_writeAddress % m_ackInterval == m_ackPhase) {
            next = 12;
            return;
        }
        if (held) return;
    }
}

void cmcCloneDrv::OnTick()
{
    if (m_state != 0) Step();
    if (m_state != 0 && m_port.WriteFailed()) {
        m_result->ResultCode = kCloneWriteFailed;
        m_failureSet = true;
        m_state = 18;
    }
    if (m_state == 18) {
        m_port.Close();
        m_state = 0;
        std::unique_ptr<dst_CDrv_Result> result = std::move(m_result);
        CloneCompletion completion = std::move(m_completion);
        m_completion = {};
        if (completion) {
            std::shared_ptr<bool> alive = m_alive;
            completion.Function(completion.Owner, result.get());
            if (!*alive) return; // the completion destroyed the driver
        }
        result.reset();
        m_receive.Clear();
        m_frame.Clear();
        m_sent.Clear();
    }
    if (m_state == 0) m_stepTask->Schedule(-1);
}

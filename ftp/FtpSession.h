// The engine's one session record and the helpers its source files share.
#pragma once
#include "ftp/TcpLayer.h"
#include "ftp/FtpEngine.h"
#include <string>

constexpr int FtpBlockSize = 4096;
// Unpaced blocking transfers move up to FtpLargeBlockSize per socket and file call and report progress
// at every FtpProgressStep bytes; paced ones move the bytes between two pauses per call.
constexpr int FtpLargeBlockSize = 1 << 20;
constexpr int FtpProgressStep = 65536;
constexpr int FtpReplySize = 2048;

// Step messages of the message-driven mode.
constexpr UINT FtpStepReceive = 0x45F;
constexpr UINT FtpStepLine = 0x460;
constexpr UINT FtpStepSend = 0x462;

struct FtpControl {
    TcpSocket control = NoSocket;
    TcpSocket data = NoSocket;
    char type = 'A';
    bool verbose = false;
    bool passive = false;
    // The server refused EPSV or EPRT in this session: PASV or PORT from then on.
    bool noExtendedPassive = false;
    bool noExtendedActive = false;
    int security = 0;
    // After PROT P every data connection runs TLS, expecting the control connection's host.
    bool dataTls = false;
    std::wstring tlsHost;
    // The server answered 522 on a protected data connection: it wants the TLS session reused.
    bool reuseDemanded = false;
    uint16_t port = 21;
    int timeout = 30;
    HANDLE logFile = INVALID_HANDLE_VALUE;
    // Replies the server still owes: each command sent adds one, each final reply read takes one.
    int owed = 0;
    char reply[FtpReplySize] = {};
};

struct FtpSession {
    DWORD ownerThread = 0;
    HWND window = nullptr;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    FtpProgressCallback progress = nullptr;
    HWND notifyWindow = nullptr;
    UINT notifyMessage = 0;
    HWND verboseWindow = nullptr;
    UINT verboseMessage = 0;
    HANDLE localFile = INVALID_HANDLE_VALUE;
    bool ownsLocalFile = true;
    // A download goes into localTemp beside localTarget, which it replaces only when complete.
    std::wstring localTarget;
    std::wstring localTemp;
    bool mayReplaceTarget = true;
    // The first failure on a data connection the caller drives itself.
    int dataFailure = 0;
    uint32_t blockCounter = 0;
    int blocksBetweenPauses = 40;
    int pauseLength = 100;
    bool stopFlag = false;
    char data[FtpBlockSize + 1] = {};
    std::string largeBlock;
    bool progressOn = false;
    bool messageDriven = true;
    int64_t bytesTransferred = 0;
    int64_t bytesExpected = 0;
    FtpCertificateCheck certificateCheck = nullptr;
    void* certificateContext = nullptr;
    FtpControl ctl;
    FtpSession* next = nullptr;
    FtpSession* previous = nullptr;
};

extern FtpSession* ftpSession;

enum class LocalMode { Create, Read, Append };

// FtpEngine.cpp
// A reply code, or a failed read (0, -1, -2, -11), after which the control connection is closed:
// a reply that may still come would otherwise answer the next command. 2: the last line was cut.
int ReadReply();
// Reads the replies still owed first; 0, or the failure that closed the connection.
int SendLine(const std::string& line);
int SendAbort();
// Closes the control connection and any data connection.
void LoseControl();
int TableCommand(int row, const char* argument);
// Posts the result in message-driven mode (and returns 0), else returns it.
int Report(int result);

// TLS on a new data connection (after its command is sent); 0, or the result for the transfer.
int SecureData(TcpSocket& data);

// FtpEngineTransfer.cpp
int CloseTransfer(bool drain);
int AbortAction(bool drain, bool notify);
void CallProgress(int kind, int64_t value);
// Ends of a transfer, each leaving the control connection in step and the local target decided.
// The data connection ended: its final reply decides.
int CompleteTransfer(bool sending);
// A receive or local failure, or a stop: ABOR and the replies it brings; the result is code.
int FailTransfer(int code, bool drain, bool notify);
// A send on the data connection failed: the final reply still comes and may say why.
int SendFailed();
// The local target replaced by the finished download (result 0), or left as it was.
int FinishLocal(int result);

// FtpEngineWindow.cpp
bool CreateEngineWindow(FtpSession* session);
void DestroyEngineWindow(FtpSession* session);
void StartStep(UINT step);

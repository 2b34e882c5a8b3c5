// The engine's one session record and the helpers its source files share.
#pragma once
#include "ftp/TcpLayer.h"
#include "ftp/FtpEngine.h"
#include <string>

constexpr int FtpBlockSize = 4096;
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
    uint16_t port = 21;
    int timeout = 30;
    HANDLE logFile = INVALID_HANDLE_VALUE;
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
    uint32_t blockCounter = 0;
    int blocksBetweenPauses = 40;
    int pauseLength = 100;
    bool stopFlag = false;
    char data[FtpBlockSize + 1] = {};
    bool progressOn = false;
    bool messageDriven = true;
    int64_t bytesTransferred = 0;
    int64_t bytesExpected = 0;
    FtpControl ctl;
    FtpSession* next = nullptr;
    FtpSession* previous = nullptr;
};

extern FtpSession* ftpSession;

enum class LocalMode { Create, Read, Append };

// FtpEngine.cpp
int ReadReply();
int SendLine(const std::string& line);
int TableCommand(int row, const char* argument);
// Posts the result in message-driven mode (and returns 0), else returns it.
int Report(int result);

// FtpEngineTransfer.cpp
int CloseTransfer(bool drain);
int AbortAction(bool drain, bool notify);
void CallProgress(int kind, int64_t value);

// FtpEngineWindow.cpp
bool CreateEngineWindow(FtpSession* session);
void DestroyEngineWindow(FtpSession* session);
void StartStep(UINT step);

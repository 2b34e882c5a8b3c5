// Test helpers for the FTP tests: the local servers' details and a scripted FTP server.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ftptest {

// key=value lines that scripts/ftp-servers.sh wrote for a server; empty when there are none.
std::map<std::string, std::string> ServerInfo(const std::string& server);
// Whether the script recorded that the server cannot run on this machine.
bool ServerUnavailable(const std::string& server);
// A Linux path as Wine sees it.
std::wstring WinePath(const std::string& unixPath);
std::wstring Widen(const std::string& text);

std::string ReadAll(const std::wstring& path);
bool WriteAll(const std::wstring& path, const std::string& content);
std::string RandomBytes(size_t count, unsigned seed);
// The names in a directory, sorted.
std::vector<std::wstring> FileNames(const std::wstring& directory);

// Speaks FTP from a script over a real loopback socket, in a thread of its own.
class ScriptServer {
public:
    // Called in the server thread for every command line (without CR LF).
    using Handler = std::function<void(ScriptServer&, const std::string&)>;
    // Replies by command prefix; commands not listed get "500 Unknown command".
    static Handler Answers(std::vector<std::pair<std::string, std::string>> answers);

    ScriptServer(std::string greeting, Handler handler);
    ~ScriptServer();
    ScriptServer(const ScriptServer&) = delete;
    ScriptServer& operator=(const ScriptServer&) = delete;

    uint16_t Port() const { return port; }
    std::string PortText() const { return std::to_string(port); }
    std::vector<std::string> Commands();
    int Connections() const { return connections; }

    // Used by handlers.
    void Reply(const std::string& line);
    void CloseControl();
    // Whether the server understands EPSV and EPRT; when not, they get "502" before the handler sees them.
    std::atomic<bool> extended{false};
    // Opens a data listener and returns the 229 reply naming its port.
    std::string ExtendedPassive();
    // Connects to the address of an EPRT argument ("|1|127.0.0.1|port|").
    bool ExtendedActive(const std::string& eprtArgument);
    // Opens a data listener and returns the 227 reply naming the address given.
    std::string Passive(const std::string& claimedAddress = "127,0,0,1");
    // Connects to the address of a PORT argument.
    bool Active(const std::string& portArgument);
    bool AcceptData();
    void SendData(const std::string& bytes);
    std::string ReceiveData();
    void CloseData();
    // A whole transfer from the server's side: the opening reply, the bytes, the closing reply.
    void SendTransfer(const std::string& bytes, const std::string& end = "226 Transfer complete",
                      const std::string& opening = "150 Opening data connection");
    // Closes the data connection with a reset, as a server does when a transfer breaks.
    void ResetData();
    // Connects from another local address (e.g. 127.0.0.2) to the address of a PORT argument,
    // sends the bytes and closes; false when the connection could not be made.
    bool Intrude(const std::string& portArgument, const std::string& fromAddress, const std::string& bytes);

private:
    void Run();
    // A new data listener on the loopback; its port.
    unsigned ListenForData();
    std::string greeting;
    Handler handler;
    SOCKET listener = INVALID_SOCKET;
    SOCKET control = INVALID_SOCKET;
    SOCKET dataListener = INVALID_SOCKET;
    SOCKET data = INVALID_SOCKET;
    uint16_t port = 0;
    std::atomic<int> connections{0};
    std::atomic<bool> stopping{false};
    std::mutex lock;
    std::vector<std::string> commands;
    std::thread thread;
};

// Pumps window messages for a while, or until the condition holds.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds);

// A started engine in blocking, passive mode; stopped after the test.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Runs the action when this thread next dispatches messages: inside the engine's next blocking wait.
void RunAtNextPump(std::function<void()> action);

// The engine's completion and line notifications, as a window receives them.
class Notices {
public:
    static constexpr UINT Message = WM_APP + 5;
    Notices();
    ~Notices();
    Notices(const Notices&) = delete;
    Notices& operator=(const Notices&) = delete;
    HWND Window() const { return window; }
    // Waits (pumping) for the end notification; its code, or INT_MIN when none came in time.
    int WaitForEnd(DWORD milliseconds = 20000);
    std::vector<std::pair<WPARAM, LPARAM>> seen;
    std::vector<std::string> lines;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
    HWND window = nullptr;
};

} // namespace ftptest

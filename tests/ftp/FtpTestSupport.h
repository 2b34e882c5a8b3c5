// Test helpers for the FTP tests: the local servers' details and a scripted FTP server.
#pragma once
#include <winsock2.h>
#include <windows.h>
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
    // Opens a data listener and returns the 227 reply naming the address given.
    std::string Passive(const std::string& claimedAddress = "127,0,0,1");
    // Connects to the address of a PORT argument.
    bool Active(const std::string& portArgument);
    bool AcceptData();
    void SendData(const std::string& bytes);
    std::string ReceiveData();
    void CloseData();

private:
    void Run();
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

} // namespace ftptest

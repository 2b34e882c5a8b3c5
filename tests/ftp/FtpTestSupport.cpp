// Test helpers for the FTP tests: the local servers' details and a scripted FTP server.
#include "ftp/FtpTestSupport.h"
#include "ftp/FtpEngine.h"
#include <ws2tcpip.h>
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <random>

namespace ftptest {

static std::wstring StateDir()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir = exe;
    dir.resize(dir.find_last_of(L'\\'));
    return dir + L"\\..\\ftp\\";
}

std::map<std::string, std::string> ServerInfo(const std::string& server)
{
    std::map<std::string, std::string> info;
    std::string text = ReadAll(StateDir() + Widen(server) + L".env");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos) info[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return info;
}

bool ServerUnavailable(const std::string& server)
{
    return GetFileAttributesW((StateDir() + Widen(server) + L".unavailable").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Widen(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    return out;
}

std::wstring WinePath(const std::string& unixPath)
{
    std::wstring path = L"Z:" + Widen(unixPath);
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::string ReadAll(const std::wstring& path)
{
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(h);
    return out;
}

bool WriteAll(const std::wstring& path, const std::string& content)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
              written == content.size();
    CloseHandle(h);
    return ok;
}

std::string RandomBytes(size_t count, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string out(count, '\0');
    for (auto& c : out) c = static_cast<char>(gen() & 0xFF);
    return out;
}

std::vector<std::wstring> FileNames(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    ULONGLONG end = GetTickCount64() + milliseconds;
    while (!(condition && condition())) {
        ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 20 ? end - now : 20), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

namespace {
constexpr UINT RunMessage = WM_APP + 6;

LRESULT CALLBACK RunProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m != RunMessage) return DefWindowProcW(w, m, wp, lp);
    std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lp));
    (*action)();
    return 0;
}

HWND MessageWindow(const wchar_t* className, WNDPROC proc)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}
} // namespace

void EngineTest::SetUp()
{
    ASSERT_EQ(FtpEngineStart(nullptr), 0);
    FtpSetBlocking(true);
    FtpSetPassive(1);
}

void EngineTest::TearDown()
{
    FtpDropConnection();
    FtpEngineStop();
}

void RunAtNextPump(std::function<void()> action)
{
    static HWND runner = MessageWindow(L"PdFtpTestRunner", RunProc);
    PostMessageW(runner, RunMessage, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
}

Notices::Notices()
{
    window = MessageWindow(L"PdFtpTestNotify", Proc);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Notices::~Notices() { DestroyWindow(window); }

LRESULT CALLBACK Notices::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<Notices*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m != Message || !self) return DefWindowProcW(w, m, wp, lp);
    self->seen.emplace_back(wp, lp);
    if (wp == 0) self->lines.emplace_back(reinterpret_cast<const char*>(lp));
    return 0;
}

int Notices::WaitForEnd(DWORD milliseconds)
{
    auto ended = [this] { return !seen.empty() && seen.back().first == 1; };
    return PumpUntil(ended, milliseconds) ? static_cast<int>(seen.back().second) : INT_MIN;
}

ScriptServer::Handler ScriptServer::Answers(std::vector<std::pair<std::string, std::string>> answers)
{
    return [answers](ScriptServer& server, const std::string& command) {
        for (const auto& [prefix, reply] : answers) {
            if (command.compare(0, prefix.size(), prefix) == 0) {
                server.Reply(reply);
                return;
            }
        }
        server.Reply("500 Unknown command");
    };
}

ScriptServer::ScriptServer(std::string greeting, Handler handler)
    : greeting(std::move(greeting)), handler(std::move(handler))
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener, 4);
    int len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    thread = std::thread([this] { Run(); });
}

ScriptServer::~ScriptServer()
{
    stopping = true;
    closesocket(listener);
    CloseControl();
    CloseData();
    if (dataListener != INVALID_SOCKET) closesocket(dataListener);
    thread.join();
    WSACleanup();
}

std::vector<std::string> ScriptServer::Commands()
{
    std::lock_guard<std::mutex> guard(lock);
    return commands;
}

void ScriptServer::Run()
{
    while (!stopping) {
        SOCKET c = accept(listener, nullptr, nullptr);
        if (c == INVALID_SOCKET) return;
        ++connections;
        // ABOR comes as urgent data; keep it in the normal stream.
        BOOL inline_ = TRUE;
        setsockopt(c, SOL_SOCKET, SO_OOBINLINE, reinterpret_cast<char*>(&inline_), sizeof inline_);
        control = c;
        if (!greeting.empty()) Reply(greeting);
        std::string line;
        char ch;
        while (control != INVALID_SOCKET && recv(control, &ch, 1, 0) == 1) {
            if (ch != '\n') {
                line += ch;
                continue;
            }
            if (!line.empty() && line.back() == '\r') line.pop_back();
            {
                std::lock_guard<std::mutex> guard(lock);
                commands.push_back(line);
            }
            bool extendedCommand = line == "EPSV" || line.rfind("EPRT ", 0) == 0;
            if (extendedCommand && !extended) Reply("502 Command not implemented");
            else if (handler) handler(*this, line);
            line.clear();
        }
        CloseControl();
    }
}

void ScriptServer::Reply(const std::string& line)
{
    std::string text = line + "\r\n";
    if (control != INVALID_SOCKET) send(control, text.data(), static_cast<int>(text.size()), 0);
}

void ScriptServer::CloseControl()
{
    SOCKET c = control;
    control = INVALID_SOCKET;
    if (c != INVALID_SOCKET) closesocket(c);
}

unsigned ScriptServer::ListenForData()
{
    if (dataListener != INVALID_SOCKET) closesocket(dataListener);
    dataListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(dataListener, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(dataListener, 1);
    int len = sizeof a;
    getsockname(dataListener, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

std::string ScriptServer::Passive(const std::string& claimedAddress)
{
    unsigned p = ListenForData();
    return "227 Entering Passive Mode (" + claimedAddress + "," + std::to_string(p >> 8) + "," +
           std::to_string(p & 0xFF) + ")";
}

std::string ScriptServer::ExtendedPassive()
{
    return "229 Entering Extended Passive Mode (|||" + std::to_string(ListenForData()) + "|)";
}

bool ScriptServer::ExtendedActive(const std::string& argument)
{
    unsigned b[4] = {}, p = 0;
    if (sscanf(argument.c_str(), "|1|%u.%u.%u.%u|%u|", &b[0], &b[1], &b[2], &b[3], &p) != 5) return false;
    return Active(std::to_string(b[0]) + "," + std::to_string(b[1]) + "," + std::to_string(b[2]) + "," +
                  std::to_string(b[3]) + "," + std::to_string(p >> 8) + "," + std::to_string(p & 0xFF));
}

bool ScriptServer::Active(const std::string& argument)
{
    unsigned b[6] = {};
    if (sscanf(argument.c_str(), "%u,%u,%u,%u,%u,%u", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) != 6) return false;
    data = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]);
    a.sin_port = htons(static_cast<u_short>(b[4] * 256 + b[5]));
    return connect(data, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

bool ScriptServer::AcceptData()
{
    if (data != INVALID_SOCKET) return true;
    if (dataListener == INVALID_SOCKET) return false;
    data = accept(dataListener, nullptr, nullptr);
    closesocket(dataListener);
    dataListener = INVALID_SOCKET;
    return data != INVALID_SOCKET;
}

void ScriptServer::SendData(const std::string& bytes)
{
    size_t sent = 0;
    while (data != INVALID_SOCKET && sent < bytes.size()) {
        int n = send(data, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return;
        sent += n;
    }
}

std::string ScriptServer::ReceiveData()
{
    std::string out;
    char buf[4096];
    int n;
    while (data != INVALID_SOCKET && (n = recv(data, buf, sizeof buf, 0)) > 0) out.append(buf, n);
    return out;
}

void ScriptServer::SendTransfer(const std::string& bytes, const std::string& end, const std::string& opening)
{
    Reply(opening);
    AcceptData();
    SendData(bytes);
    CloseData();
    Reply(end);
}

void ScriptServer::ResetData()
{
    linger hard{1, 0};
    if (data != INVALID_SOCKET) setsockopt(data, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&hard), sizeof hard);
    CloseData();
}

bool ScriptServer::Intrude(const std::string& argument, const std::string& fromAddress, const std::string& bytes)
{
    unsigned b[6] = {};
    if (sscanf(argument.c_str(), "%u,%u,%u,%u,%u,%u", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) != 6) return false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    from.sin_addr.s_addr = inet_addr(fromAddress.c_str());
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]);
    to.sin_port = htons(static_cast<u_short>(b[4] * 256 + b[5]));
    bool ok = bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from) == 0 &&
              connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    if (ok) send(s, bytes.data(), static_cast<int>(bytes.size()), 0);
    closesocket(s);
    return ok;
}

void ScriptServer::CloseData()
{
    SOCKET d = data;
    data = INVALID_SOCKET;
    if (d != INVALID_SOCKET) closesocket(d);
}

} // namespace ftptest

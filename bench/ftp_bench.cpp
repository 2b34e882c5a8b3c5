// Times one binary download and one upload through the FTP engine, as a user of the file manager gets them.
// Usage: ftp_bench HOST PORT USER PASSWORD REMOTE LOCAL UPLOAD_NAME [--no-pause] [--tls]
#include <winsock2.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include "ftp/FtpEngine.h"

namespace {

std::string Narrow(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int64_t FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// One machine-readable line per direction, so the script can build its table.
void Report(const char* direction, int64_t bytes, double seconds)
{
    double rate = seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0;
    printf("RESULT engine %s bytes=%lld seconds=%.3f mbps=%.3f\n", direction, static_cast<long long>(bytes),
           seconds, rate);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 8) {
        fprintf(stderr, "usage: %ls HOST PORT USER PASSWORD REMOTE LOCAL UPLOAD_NAME [--no-pause]\n", argv[0]);
        return 2;
    }
    std::string host = Narrow(argv[1]), port = Narrow(argv[2]), user = Narrow(argv[3]),
                password = Narrow(argv[4]), remote = Narrow(argv[5]), uploadName = Narrow(argv[7]);
    const wchar_t* local = argv[6];
    bool noPause = false, tls = false;
    for (int i = 8; i < argc; ++i) {
        noPause = noPause || wcscmp(argv[i], L"--no-pause") == 0;
        tls = tls || wcscmp(argv[i], L"--tls") == 0;
    }

    if (FtpEngineStart(nullptr) != 0) {
        fprintf(stderr, "FtpEngineStart failed\n");
        return 1;
    }
    FtpSetBlocking(true);
    FtpSetPassive(1);
    // Only to show what the pause costs; the default run keeps the engine's own pacing.
    if (noPause) FtpSetPauseLength(0);
    if (tls) {
        // The test server's certificate is self-signed; the benchmark measures the transfer, not the question.
        FtpSetSecurity(FtpTlsRequired);
        FtpSetCertificateCheck([](const TlsCertificate&, const char*, void*) { return true; }, nullptr);
    }
    int r = FtpSignOn(host.c_str(), port.c_str(), user.c_str(), password.c_str(), nullptr, 0);
    if (r != 0) {
        fprintf(stderr, "sign-on failed: %d %s\n", r, FtpReplyText());
        FtpEngineStop();
        return 1;
    }

    int status = 0;
    double start = Now();
    r = FtpDownload(remote.c_str(), local, 'I', false, nullptr, 0);
    double seconds = Now() - start;
    if (r != 0) {
        fprintf(stderr, "download failed: %d %s\n", r, FtpReplyText());
        status = 1;
    } else {
        Report("download", FileSize(local), seconds);
        start = Now();
        r = FtpUpload(local, uploadName.c_str(), 'I', false, nullptr, 0);
        seconds = Now() - start;
        if (r != 0) {
            fprintf(stderr, "upload failed: %d %s\n", r, FtpReplyText());
            status = 1;
        } else {
            Report("upload", FtpBytesTransferred(), seconds);
        }
    }
    if (FtpQuit() != 0) FtpDropConnection();
    FtpEngineStop();
    return status;
}

// The stored form of a site and its scrambled passwords: text work only, so the fuzzers build it too.
#include "common/FtpSites.h"
#include "common/FtpSiteText.h"
#include <cwchar>

std::wstring ScramblePassword(const std::wstring& password)
{
    static const wchar_t Hex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : SiteTextUtf8(password)) {
        unsigned b = c ^ 0x6Bu;
        out += Hex[b >> 4];
        out += Hex[b & 15];
    }
    return out;
}

std::wstring UnscramblePassword(const std::wstring& scrambled)
{
    auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    };
    std::string bytes;
    for (size_t i = 0; i + 1 < scrambled.size(); i += 2) {
        int high = digit(scrambled[i]), low = digit(scrambled[i + 1]);
        if (high < 0 || low < 0) continue;
        bytes += static_cast<char>((high * 16 + low) ^ 0x6B);
    }
    return SiteTextFromBytes(bytes);
}

std::wstring FormatSiteRecord(const FtpSiteRecord& s)
{
    auto flag = [](bool b) { return std::wstring(b ? L"1" : L"0"); };
    std::wstring t = L"\t";
    return s.host + t + flag(s.anonymous) + t + s.user + t + ScramblePassword(s.password) + t + flag(s.firewall) + t +
           s.firewallHost + t + s.firewallPort + t + s.firewallUser + t + ScramblePassword(s.firewallPassword) + t +
           std::to_wstring(s.firewallKind) + t + s.initialDir + t + flag(s.keepAlive) + t + s.port + t +
           flag(s.passive);
}

FtpSiteRecord ParseSiteRecord(const std::wstring& text, bool passwordsScrambled)
{
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = text.find(L'\t', start);
        fields.push_back(text.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) break;
        start = tab + 1;
    }
    FtpSiteRecord s;
    auto field = [&](size_t i) -> const std::wstring* { return i < fields.size() ? &fields[i] : nullptr; };
    auto flag = [&](size_t i) { return field(i) && !field(i)->empty() && (*field(i))[0] != L'0'; };
    auto password = [&](size_t i) {
        if (!field(i)) return std::wstring();
        return passwordsScrambled ? UnscramblePassword(*field(i)) : *field(i);
    };
    s.host = fields[0].substr(0, fields[0].find(L" ("));
    s.anonymous = flag(1);
    if (field(2)) s.user = *field(2);
    s.password = password(3);
    s.firewall = flag(4);
    if (field(5)) s.firewallHost = *field(5);
    if (field(6)) s.firewallPort = *field(6);
    if (field(7)) s.firewallUser = *field(7);
    s.firewallPassword = password(8);
    if (field(9)) s.firewallKind = static_cast<int>(std::wcstol(field(9)->c_str(), nullptr, 10));
    if (field(10)) s.initialDir = *field(10);
    s.keepAlive = flag(11);
    if (field(12)) s.port = *field(12);
    s.passive = flag(13);
    return s;
}

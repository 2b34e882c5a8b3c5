// A stored FTP site record and its scrambled passwords: whatever is read writes back the same.
#include "common/FtpSites.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(ftp_site)
{
    fuzz::Input in(data, size);
    bool scrambled = in.Byte() & 1;
    std::wstring text = in.Text();
    FtpSiteRecord site = ParseSiteRecord(text, scrambled);
    // The passwords come out as text, so they survive the round trip through the stored form.
    FtpSiteRecord again = ParseSiteRecord(FormatSiteRecord(site), true);
    FUZZ_CHECK(again.host == site.host && again.user == site.user && again.port == site.port);
    FUZZ_CHECK(again.firewallHost == site.firewallHost && again.firewallUser == site.firewallUser);
    FUZZ_CHECK(again.initialDir == site.initialDir && again.firewallKind == site.firewallKind);
    FUZZ_CHECK(again.anonymous == site.anonymous && again.passive == site.passive);
    if (scrambled) {
        FUZZ_CHECK(again.password == site.password);
        FUZZ_CHECK(again.firewallPassword == site.firewallPassword);
    }
    std::wstring plain = UnscramblePassword(text);
    FUZZ_CHECK(UnscramblePassword(ScramblePassword(plain)) == plain);
}

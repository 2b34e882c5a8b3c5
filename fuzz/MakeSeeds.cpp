// Writes the seed corpora: small valid inputs of each format, made by the tests' own generators and
// the program's writers, and the hostile kinds the tests check. Run by scripts/fuzz.sh --seeds; the
// results are kept in fuzz/corpus.
#include "archive/ArchiveBytes.h"
#include "codec/Pcx.h"
#include "codec/Tga.h"
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static fs::path root;

static void Seed(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(root / target);
    std::ofstream(root / target / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Texts as the targets read them: UTF-16 units, a zero unit between texts.
static std::string Units(const std::vector<std::wstring>& texts)
{
    std::string out;
    for (size_t i = 0; i < texts.size(); ++i) {
        for (wchar_t c : texts[i]) {
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>((c >> 8) & 0xFF);
        }
        if (i + 1 < texts.size()) out += std::string(2, '\0');
    }
    return out;
}

static std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

static Image Picture(int width, int height, int bits)
{
    Image image;
    AllocateImage(image, width, height, bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 7 / 3);
    for (size_t i = 0; i < image.palette.size(); ++i)
        image.palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 0};
    return image;
}

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    root = argv[1];
    using namespace test;

    // FTP replies (a buffer size and a piece seed first) and listing lines (a time first).
    Seed("ftp_reply", "greeting", std::string("\x40\x07", 2) + "220-Welcome\r\n   text\r\n220 ready\r\n");
    Seed("ftp_reply", "passive", std::string("\x40\x03", 2) + "227 Entering Passive Mode (127,0,0,1,200,14).\r\n");
    Seed("ftp_reply", "pwd", std::string("\x10\x01", 2) + "257 \"/a \"\"quoted\"\" dir\" is current\r\n");
    Seed("ftp_reply", "size", std::string("\x40\x05", 2) + "150 Opening BINARY connection for f (123456 bytes)\r\n");
    Seed("ftp_reply", "syst", std::string("\x01\x09", 2) + "215 UNIX Type: L8\r\n" + std::string(300, 'x') + "\r\n");
    const std::string now("\x00\x00\x00\x00\x60\x40\x90\x00", 8);
    Seed("ftp_listing", "unix", now + "-rw-r--r--   1 owner  group   1234 Mar  4 05:06 hello.txt");
    Seed("ftp_listing", "unixyear", now + "drwxr-xr-x   2 owner  group   4096 Mar  4  2019 a dir");
    Seed("ftp_listing", "link", now + "lrwxrwxrwx   1 owner  group     7 Jan 12 10:00 link -> target");
    Seed("ftp_listing", "eplf", now + "+i8388621.48594,m825718503,r,s280,\tdjb.html");
    Seed("ftp_listing", "vms", now + "CII-MANUAL.TEX;1  213/216  29-JAN-1996 03:33:12  [ANONYMOU,ANONYMOUS]   (RWED,RWED,,)");
    Seed("ftp_listing", "dos", now + "04-27-00  09:09PM       <DIR>          licensed");
    Seed("ftp_listing", "dosfile", now + "07-18-00  10:16AM                56038 x.zip");
    Seed("ftp_site", "record", "\x01" + Units({L"ftp.example.com (remark)\t0\tuser\t1B0A181809\t1\tfw\t1080\tfwuser\t0E0E\t2\t/pub\t1\t21\t1"}));
    Seed("ftp_site", "short", "\x00" + Units({L"host\t1\tanonymous"}));
    Seed("ftp_site", "utf8", "\x01" + Units({L"h\t0\tu\tA9D7"}));

    // Archives.
    Seed("tar", "ustar", "\x01" + TarMember("dir/", "", '5') + TarMember("dir/hello.txt", "hello\n") + TarEnd());
    Seed("tar", "pieces", "\x02" + TarMember("a.txt", std::string(700, 'a')) + TarEnd());
    Seed("tar", "pax", "\x01" + TarPax({{"path", "p\xC3\xA4x/long name.txt"}, {"size", "3"}, {"mtime", "1614834367.5"}}) +
                           TarMember("short", "abc") + TarEnd());
    Seed("tar", "gnulong", "\x01" + TarGnuLong(std::string(150, 'n')) + TarGnuLong("target", 'K') +
                               TarMember("cut", "", '2') + TarEnd());
    TarFields big;
    big.name = "base256";
    big.size = 5;
    big.base256Size = true;
    big.gnuMagic = true;
    big.ustar = false;
    Seed("tar", "base256", "\x01" + TarHeader(big) + "12345" + std::string(507, '\0') + TarEnd());
    TarFields bad;
    bad.name = "bad";
    bad.checksumDelta = 1;
    Seed("tar", "badsum", "\x01" + TarHeader(bad) + TarMember("good", "x") + TarEnd());
    std::string tarball = TarMember("in.txt", "inside\n") + TarEnd();
    Seed("gzip", "tar", "\x01" + Gzip(tarball, 0x08, "in.tar", 1614834367));
    Seed("gzip", "single", "\x02" + Gzip("just text\n") + Gzip("second member\n"));
    Seed("gzip", "header", "\x01" + Gzip("x", 0x1A, "name"));
    Seed("zip", "stored", Zip({{"hello.txt", "hello\n"}, {"dir/", ""}}));
    ZipFields deflated;
    deflated.name = "text.txt";
    deflated.data = std::string(2000, 't');
    deflated.method = 8;
    Seed("zip", "deflated", Zip({deflated}));
    Seed("zip", "zip64", Zip({{"a", "abc"}, deflated}, true));
    ZipFields locked;
    locked.name = "locked.txt";
    locked.data = "secret data";
    locked.password = "secret";
    Seed("zip", "encrypted", Zip({locked}));
    ZipFields liar;
    liar.name = "liar";
    liar.data = "1234";
    liar.claimedSize = 1 << 30;
    liar.claimedOffset = 3;
    Seed("zip", "hostile", Zip({liar, {"b", "b"}}));
    std::string z = Zip({deflated, {"b", "b"}}, true);
    Seed("zip_records", "local", z);
    Seed("zip_records", "central", z.substr(z.find("PK\x01\x02")));
    Seed("zip_records", "end64", z.substr(z.find("PK\x06\x06")));
    Seed("zip_records", "end", z.substr(z.find("PK\x05\x06")));
    RarFields plain;
    plain.name = "hello.txt";
    plain.data = "hello\n";
    RarFields wide = plain;
    wide.unicodeName = L"h\u00e9llo\u4e2d.txt";
    RarFields folder;
    folder.name = "dir";
    folder.directory = true;
    RarFields packed = plain;
    packed.compressed = true;
    Seed("rar", "rar4", Rar4({plain, wide, folder, packed}));
    Seed("rar", "rar4headers", Rar4({plain}, true));
    Seed("rar", "rar5", Rar5({plain, folder, packed}));
    std::string encoded = EncodeRarName("hello.txt", L"h\u00e9llo\u4e2d.txt");
    Seed("rar_name", "name", std::string(1, '\x09') + "hello.txt" + encoded);

    // Member names, rename patterns, dates and times.
    Seed("member_name", "nested", "\x01" + Units({L"dir/sub\\file.txt"}));
    Seed("member_name", "parent", "\x01" + Units({L"a/../../evil.txt"}));
    Seed("member_name", "device", "\x00" + Units({L"x/CON.txt"}));
    Seed("member_name", "drive", "\x01" + Units({L"C:\\Windows\\x"}));
    Seed("member_name", "stream", "\x01" + Units({L"file.txt:stream"}));
    Seed("rename_pattern", "ext", Units({L"report.txt", L"*.bak"}));
    Seed("rename_pattern", "marks", Units({L"abcdef.tar.gz", L"??x*.z?"}));
    Seed("rename_pattern", "path", Units({L"C:\\dir\\name", L"new*"}));
    Seed("datetime", "dmy", std::string("\x01\x00", 2) + Units({L"04-03-21", L"05:06"}));
    Seed("datetime", "ymd", std::string("\x02\x01", 2) + Units({L"2021/03/04", L"23:59"}));
    Seed("datetime", "leap", std::string("\x00\x02", 2) + Units({L"02.29.00", L"00:00"}));

    // Placeholders: the quoting byte, then values (a 1 makes them from a directory and an entry).
    Seed("placeholders", "interpreter", "\x02\x01" + Units({L"C:\\dir", L"a b&c.txt", L""}) + "\x01" +
                                            Units({L"D:\\other", L"x.y", L"copy &as &bp\\&an.bak ^&ae \"&af\""}));
    Seed("placeholders", "arguments", "\x01\x01" + Units({L"C:\\dir", L"with blank\\", L""}) + "\x01" +
                                          Units({L"D:\\", L"x", L"prog \"&as\" &bp"}));
    Seed("placeholders", "refused", "\x02\x01" + Units({L"C:\\dir", L"100%.txt", L""}) + "\x01" +
                                        Units({L"D:\\", L"x", L"type &as"}));

    // The hex editor: value codes and bytes that need codes in the clipboard form.
    Seed("hex_values", "codes", "\x00<bh:ff><wd:258><ld:-1><fl:1.5><do:-2e10>\\<\\\\text\r\n");
    Seed("hex_values", "oem", "\x01\x80\xff<bh:0a><xx:1><bh:>");

    // Pictures.
    std::vector<uint8_t> file;
    for (int bits : {1, 8, 24}) {
        WritePcx(Picture(9, 3, bits), file);
        Seed("pcx", "pcx" + std::to_string(bits), Bytes(file));
        for (bool rle : {false, true}) {
            WriteTga(Picture(5, 3, bits), rle, file);
            Seed("tga", "tga" + std::to_string(bits) + (rle ? "rle" : ""), Bytes(file));
        }
    }
    Seed("image_write", "one", std::string("\x00\x08\x00\x02", 4) + std::string(12, '\x55'));
    Seed("image_write", "eight", std::string("\x01\x05\x00\x03", 4) + std::string(40, '\x11') + "\x00\x01\x02\x03");
    Seed("image_write", "true", std::string("\x02\x07\x00\x01", 4) + "abcdefghijklmnopqrstuvwxyz");
    return 0;
}

// The viewer's save types, its extension rule and the texts of the codec's error codes.
#include "tools/imageview/SaveFormats.h"
#include <gtest/gtest.h>

TEST(SaveFormats, TheTypeDecidesTheExtensionUnlessTheNameHasIt)
{
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x.jpg", 1), L"C:\\d\\x.jpg.TIF");
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x.tif", 1), L"C:\\d\\x.tif");
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x.Tif", 1), L"C:\\d\\x.Tif");
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x", 3), L"C:\\d\\x.JPG");
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x.jpeg", 3), L"C:\\d\\x.jpeg.JPG");
    EXPECT_EQ(SaveTargetName(L"C:\\a.b\\name", 6), L"C:\\a.b\\name.PNG") << "a dot in a directory is no extension";
    EXPECT_EQ(SaveTargetName(L"C:\\d\\x.", 8), L"C:\\d\\x..TGA");
    const wchar_t* extensions[] = {L".TIF", L".BMP", L".JPG", L".PCX", L".GIF", L".PNG", L".EPS", L".TGA"};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(SaveTargetName(L"p", i), std::wstring(L"p") + extensions[i - 1]);
        EXPECT_EQ(SaveFormatAt(i).extension, std::wstring(extensions[i - 1]));
    }
    EXPECT_EQ(SaveTargetName(L"p", 0), L"p.BMP") << "an index outside 1-8 saves as BMP";
    EXPECT_EQ(SaveTargetName(L"p", 9), L"p.BMP");
}

TEST(SaveFormats, StoredTypesListAndOptions)
{
    EXPECT_EQ(FileTypeIndex(0), 1);
    EXPECT_EQ(FileTypeIndex(-3), 1);
    EXPECT_EQ(FileTypeIndex(9), 1);
    EXPECT_EQ(FileTypeIndex(8), 8);
    std::wstring filter = SaveFilter();
    EXPECT_EQ(filter.substr(0, 27), std::wstring(L"TIFF File (*.tif)\0*.tif\0BMP", 27));
    EXPECT_EQ(filter.substr(filter.size() - 24), std::wstring(L"TGA File (*.tga)\0*.tga\0\0", 24));
    EXPECT_EQ(SaveFormatAt(3).option, 75) << "JPEG quality";
    EXPECT_EQ(SaveFormatAt(8).option, 1) << "run-length TGA";
    EXPECT_TRUE(SaveFormatAt(5).atMostEightBits);
    EXPECT_TRUE(SaveFormatAt(7).atMostEightBits);
    EXPECT_FALSE(SaveFormatAt(2).atMostEightBits);
}

TEST(SaveFormats, EveryErrorCodeHasItsText)
{
    struct Row {
        std::initializer_list<int> codes;
        const wchar_t* text;
    };
    const Row rows[] = {
        {{-64, -63, -62, -43, -27, -25, -17, -16, -12, -11, -9, -8, -6}, L"File format not supported or invalid data, error "},
        {{-52, -40, -14}, L"Insufficient local memory, error "},
        {{-42, -1}, L"Invalid image, error "},
        {{-26}, L"Invalid color depth, error "},
        {{-10}, L"Cannot create file, or directory is invalid, error "},
        {{-4}, L"Filename not found, error "},
        {{-3}, L"Disk full, file not written, error "},
        {{-5, -2, -13, 7}, L"Cannot save the picture, error "},
    };
    for (const Row& row : rows)
        for (int code : row.codes) EXPECT_EQ(SaveErrorText(code), row.text + std::to_wstring(code));
}

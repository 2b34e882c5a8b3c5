// The hex editor's value codes (typed or pasted text) and its clipboard form.
#include "fuzz/FuzzTarget.h"
#include "tools/hexedit/ValueCodes.h"

FUZZ_TARGET(hex_values)
{
    fuzz::Input in(data, size);
    bool oem = in.Byte() & 1;
    std::string text = in.Rest();
    hex::CodePageTable table;
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(255 - i);
    hex::DecodeValueCodes(text, oem ? &table : nullptr);
    // Any bytes copied come back from their clipboard form unchanged.
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::string form = hex::ClipboardForm(bytes, text.size());
    FUZZ_CHECK(form.size() == hex::ClipboardFormLength(bytes, text.size()));
    std::vector<uint8_t> back = hex::DecodeValueCodes(form);
    FUZZ_CHECK(back.size() == text.size() && std::equal(back.begin(), back.end(), bytes));
}

// A dialog with one text field: "FILTER", "MARK", "UNMARK", "CD", "EDITNEW".
#pragma once
#include "framework/Dialog.h"
#include <string>

namespace fw {

class CTextDialog : public CDialog {
public:
    CTextDialog(const wchar_t* templateName, int fieldId, const std::wstring& initial)
        : CDialog(templateName), fieldId(fieldId), text(initial) {}
    const std::wstring& Text() const { return text; }

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    int fieldId;
    std::wstring text;
};

} // namespace fw

// The started program with a temporary directory in both panels, for the viewer's tests.
#pragma once
#include "imageview/ImageSupport.h"
#include "imageview/ModalDriver.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <string>
#include <vector>

namespace test {

class ViewerTest : public AppTest {
protected:
    void SetUp() override;
    void StartIn(const std::wstring& dir);
    CFileList& P() { return main->LeftPanel(); }
    // Puts the cursor on the file and runs the panel's view request to its end.
    void View(const std::wstring& name);
    std::vector<std::wstring> RecordedArgs() { return test::RecordedArgs(record); }

    TempDir tmp;
    std::wstring record;
};

// A picture of ImageMagick's own (thousands of colours), cut to these sides.
std::string RosePicture(int width, int height);
// Both names in their long forms, compared without case.
bool SameFile(const std::wstring& a, const std::wstring& b);

} // namespace test

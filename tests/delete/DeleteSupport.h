// Shared ground of the delete tests: the desktop trash, directory links, commands through the main window.
#pragma once
#include "fileops/FileCheck.h"
#include "support/TestEnv.h"
#include <string>
#include <vector>

namespace test {

// $XDG_DATA_HOME/Trash/files as a Windows path; empty when XDG_DATA_HOME is not set.
std::wstring TrashFiles();
// Names in the trash that contain tag.
std::vector<std::wstring> TrashedWith(const std::wstring& tag);
// Removes what the tests put into the trash (by Unix means: a trashed link must not be followed).
void EmptyTrashOf(const std::wstring& tag);

// A Unix symbolic link (Wine's CreateSymbolicLink makes nothing usable).
bool MakeLink(const std::wstring& link, const std::wstring& target);
// Removes every Unix link below root by Unix means.
void RemoveLinks(const std::wstring& root);

class DeleteFixture : public CopyFixture {
protected:
    void TearDown() override;
    // Sends the command to the main window and pumps until the posted request has run.
    void Command(UINT id);
    std::wstring Upper(std::wstring text);
};

} // namespace test

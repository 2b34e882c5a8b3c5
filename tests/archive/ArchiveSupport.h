// Ground of the archive dialog tests: the archives made by the test command, the resource
// library, and a run of the real "FILECONT" dialog answered by template.
#pragma once
#include "archive/ArchiveDialog.h"
#include "fileops/Answers.h"
#include "fileops/FileCheck.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace test {

// The directory of archives made by tests/archive/make_fixtures.sh (PD_ARCHIVE_FIXTURE).
std::wstring FixtureDirectory();

// The rules for one extraction: extract all (or the marked rows), into target, folders kept or not.
struct Extraction {
    std::vector<int> mark;       // rows to mark; empty with all = true
    bool all = true;
    std::wstring target;
    bool keepFolders = true;
};

class ArchiveTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Lists archive (the dialog is closed again at once); the dialog's result.
    INT_PTR List(const std::wstring& archive);
    // Lists and extracts; more rules (password, overwrite, message boxes) may be given.
    INT_PTR Extract(const std::wstring& archive, const Extraction& how, std::map<std::wstring, Rule> more = {});
    std::wstring Fixture(const std::wstring& name) const { return fixture + L"\\" + name; }
    // Writes bytes to a file in the scratch directory and returns its path.
    std::wstring Write(const std::wstring& name, const std::string& bytes);
    // A box answered with answer, after which the archive dialog is closed: for the questions
    // that end the extract command but not the dialog.
    Rule AnswerAndClose(int answer);
    // Row texts as the list shows them.
    std::vector<std::wstring> Names() const;
    const ArchiveRow* Row(const std::wstring& name) const;
    // What a tree holds (relative path -> content), as Snapshot, with "/" in none of the names.
    static std::map<std::wstring, std::string> Tree(const std::wstring& root) { return Snapshot(root); }
    // The time a file of the fixture's source tree was given.
    static uint64_t SourceTime();

    std::wstring fixture;
    TempDir scratch, target;
    OperationState operation;
    std::vector<ArchiveRow> rows;
    std::vector<std::wstring> titles;
    std::vector<std::wstring> boxes;
    int unzipShown = 0;
    bool hasFolders = false, damaged = false;
    HWND dialogWindow = nullptr;
    ArchiveType type = ArchiveZip;
};

} // namespace test

// The trust rule of the undo records' place, over facts as a handle would give them: what Wine
// cannot stage (owners, ACLs, junctions, hard links) is decided here.
#include "win32/dll/msi/UndoFolder.h"

#include <gtest/gtest.h>

namespace quillet::msi {
namespace {

TEST(UndoFolder, TrustsOnlyPlainObjectsOfItsOwnKindThatAPrivilegedAccountOwns) {
  struct Case {
    const char* what;
    ObjectFacts facts;
    bool folder;
    bool trusted;
  };
  const Case cases[] = {
      {"folder owned by SYSTEM", {true, false, 1, Owner::System}, true, true},
      {"folder owned by the Administrators", {true, false, 1, Owner::Administrators}, true, true},
      {"folder owned by TrustedInstaller", {true, false, 1, Owner::TrustedInstaller}, true, true},
      {"folder made by this process's account", {true, false, 1, Owner::ThisProcess}, true, true},
      {"folder a user made first", {true, false, 1, Owner::Other}, true, false},
      {"junction owned by SYSTEM", {true, true, 1, Owner::System}, true, false},
      {"a file where the folder should be", {false, false, 1, Owner::System}, true, false},
      {"record of ours", {false, false, 1, Owner::ThisProcess}, false, true},
      {"record a user planted", {false, false, 1, Owner::Other}, false, false},
      {"record that is a symbolic link", {false, true, 1, Owner::System}, false, false},
      {"record with a second name (hard link)", {false, false, 2, Owner::System}, false, false},
      {"a folder where the record should be", {true, false, 1, Owner::System}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trusted(c.facts, c.folder), c.trusted) << c.what;
  }
}

TEST(UndoFolder, RecordNamesHaveOneLengthAndNeedABracedProductCode) {
  const std::wstring code = L"{12345678-9ABC-DEF0-1234-56789ABCDEF0}";
  const std::wstring shortName = UndoFileName(code, L"a");
  const std::wstring longName = UndoFileName(code, std::wstring(220, L'z'));
  EXPECT_EQ(shortName.size(), longName.size());
  EXPECT_EQ(shortName.size(), code.size() + 1 + 16 + 5);
  EXPECT_NE(UndoFileName(code, L"merkzettel"), UndoFileName(code, L"merkzettem"));
  EXPECT_EQ(UndoFileName(L"..\\..\\Windows", L"a"), L"");
  EXPECT_EQ(UndoFileName(L"12345678-9ABC-DEF0-1234-56789ABCDEF0", L"a"), L"");
}

}  // namespace
}  // namespace quillet::msi

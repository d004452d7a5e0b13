#include "app/Command.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace quillet {
namespace {

// What one command text reads as: the switch, the run it asks for, the name, and how many fields
// the splitter gave. The pass tests run each kind of command once; this table holds the forms.
struct CommandRow {
  const wchar_t* text;
  bool silent;
  RunMode mode;
  const wchar_t* name;
  std::size_t fields;
};

TEST(ReadCommand, ReadsTheSwitchTheRunAndTheName) {
  const CommandRow rows[] = {
      {L"", false, RunMode::None, L"", 0},
      {L"   ", false, RunMode::None, L"", 0},
      {L"-s", true, RunMode::None, L"", 0},
      {L"-S  ", true, RunMode::None, L"", 0},
      {L"Vellumar", false, RunMode::Remove, L"Vellumar", 1},
      {L"\"Vellumar\",\"C:\\anderes.exe\"", false, RunMode::Remove, L"Vellumar", 2},
      {L"\" Vellumar \",k,C:\\v.exe", false, RunMode::Install, L"Vellumar", 3},
      {L"a,b,c,1,p,2,l,g,t,zehn", false, RunMode::Install, L"a", 10},
      // The switch: either case, with or without blanks after it, and only at the very start.
      {L"-S Vellumar", true, RunMode::Remove, L"Vellumar", 1},
      {L"-sVellumar", true, RunMode::Remove, L"Vellumar", 1},
      {L"-s   Vellumar  ", true, RunMode::Remove, L"Vellumar", 1},
      {L"-silent", true, RunMode::Remove, L"ilent", 1},
      {L" -s Vellumar", false, RunMode::Remove, L"-s Vellumar", 1},
      {L"x -s Vellumar", false, RunMode::Remove, L"x -s Vellumar", 1},
      {L"-x Vellumar", false, RunMode::Remove, L"-x Vellumar", 1},
      // A name of blanks only is an empty name, and still asks for its run.
      {L"  ,b,C:\\c.exe", false, RunMode::Install, L"", 3},
  };
  for (const CommandRow& row : rows) {
    const Command command = ReadCommand(row.text);
    EXPECT_EQ(command.silent, row.silent) << row.text;
    EXPECT_EQ(command.mode, row.mode) << row.text;
    EXPECT_EQ(command.name, row.name) << row.text;
    EXPECT_EQ(command.fields.size(), row.fields) << row.text;
  }
}

}  // namespace
}  // namespace quillet

// A modal message box as the pass shows it through its frontend: the usage and error messages,
// the download question, and the invalid-date notice of a registry read.
#pragma once

#include <string>

namespace quillet {

enum class MessageIcon { Information, Error, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
  std::wstring title;
  std::wstring text;
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
};

}  // namespace quillet

// Modal message boxes, as the layers below the window need them: the registry layer shows its
// invalid-date notice through this, the pass everything else.
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

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `message` modally and returns the button the user pressed.
  virtual MessageAnswer Show(const Message& message) = 0;
};

}  // namespace quillet

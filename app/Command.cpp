#include "app/Command.h"

#include <string_view>
#include <utility>

#include "text/Characters.h"

namespace quillet {

Command ReadCommand(std::wstring text) {
  Command command;
  // Only 'S' lower-cases to 's' in any locale, so the switch needs no locale to be seen.
  if (text.size() >= 2 && text[0] == L'-' && (text[1] == L's' || text[1] == L'S')) {
    command.silent = true;
    text = text::Trimmed(std::wstring_view(text).substr(2));
  }
  command.fields = ModulTextZeile2CollectionArray::TextZeileZerlegen(std::move(text), L",", L"");
  if (command.fields.empty()) return command;
  command.mode = command.fields.size() <= 2 ? RunMode::Remove : RunMode::Install;
  command.name = text::Trimmed(command.fields[0]);
  return command;
}

}  // namespace quillet

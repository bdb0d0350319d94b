// Subcommands over streams and tagged text: tags.
#include <sys/stat.h>

#include <iostream>
#include <memory>

#include "tools/zel/cli.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filename.h"
#include "zel/platform/filestream.h"
#include "zel/streams/streams.h"

namespace zel::cli {
namespace {

int Tags(const ParsedArgs& args);

constexpr Command kCommands[] = {
    {.name = "tags", .summary = "list the XML-like tags of a file",
     .operands = "FILE TAG...",
     .description =
     "Reads FILE tag by tag with the library's tag reader and prints one line\n"
     "per tag: its index in the TAG list, the TAG it matched, its attribute\n"
     "text and the length of its content, separated by tabs.  TAGs match\n"
     "without regard to case; a tag whose name is not listed counts as the\n"
     "last TAG (so end the list with a catch-all such as '*').  An element's\n"
     "content is read with it, so the tags inside it are not listed; a\n"
     "closing tag is looked up with its '/' (\"/item\").  Comments and\n"
     "declarations (<!...>) are skipped.  FILE \"-\" is stdin.",
     .main = &Tags},
};

int Tags(const ParsedArgs& parsed) {
  const std::vector<std::string>& args = parsed.Operands();
  if (args.size() < 2) throw BadUsage("need a FILE and at least one TAG");
  std::vector<String> tags;
  for (size_t i = 1; i < args.size(); ++i) tags.push_back(LowerCase(FromUtf8(args[i])));
  const Input in = OpenInput(args[0]);
  if (in.stream == nullptr) return kFailure;
  // The tag reader steps back in its input: a file is read through the
  // buffered file stream, stdin (or a pipe) from memory.
  std::unique_ptr<TStream> file;
  struct stat st;
  try {
    if (::fstat(in.stream->Fd(), &st) == 0 && S_ISREG(st.st_mode) && args[0] != "-") {
      file = std::make_unique<TFileStream>(FileNameFromBytes(args[0]), fmOpenRead | fmShareDenyWrite);
    } else {
      auto mem = std::make_unique<TMemoryStream>();
      TLineReader reader = LineReader(in, leKeep);
      for (std::string_view line; reader.ReadLine(line);) {
        mem->WriteBuffer(line.data(), static_cast<int64_t>(line.size()));
      }
      if (!ReadSucceeded(reader, in)) return kFailure;
      mem->SetPosition(0);
      file = std::move(mem);
    }
  } catch (const Exception& e) {
    return Fail(Quoted(args[0]) + ": " + e.what());
  }
  TStream& s = *file;
  // Stop when no tag is left: step to the next '<' first, so that text or a
  // comment after the last tag reports nothing.
  while (FindInStream(s, '<')) {
    const int64_t lt = s.Position() - 1;
    uint8_t next = 0;
    if (s.Read(&next, 1) == 1 && next == '!') {
      FindInStream(s, '>');
      continue;
    }
    s.SetPosition(lt);
    String attributes, content;
    const int index = ReadNextTagInStream(s, tags, attributes, content);
    std::cout << index << '\t' << ToUtf8(tags[static_cast<size_t>(index)]) << '\t'
              << ToUtf8(attributes) << '\t' << content.size() << '\n';
  }
  return kOk;
}

const CommandGroup kGroup(60, kCommands);

}  // namespace
}  // namespace zel::cli

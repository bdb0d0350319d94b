// Subcommands of system information and the processor: sysinfo, password,
// cpuid, machine-id, check-id, save-as.
#include <cstdio>
#include <iostream>
#include <string>

#include "tools/zel/cli.h"
#include "zel/cpuid/cpuid.h"
#include "zel/filesys/savedialog.h"
#include "zel/filesys/sysinfo.h"
#include "zel/platform/filename.h"
#include "zel/stringl/numscan.h"
#include "zel/zelbase/errors.h"

namespace zel::cli {
namespace {

int SysInfo(const ParsedArgs& args);
int Password(const ParsedArgs& args);
int CpuId(const ParsedArgs& args);
int MachineId(const ParsedArgs& args);
int CheckId(const ParsedArgs& args);
int SaveAs(const ParsedArgs& args);

constexpr Option kPasswordOptions[] = {
    {"length", 'n', "LEN", "password length, 4 to 14 (default 8)"},
    {"mixed", 0, {}, "make about half of the letters upper case"},
    {"special", 0, {}, "replace about a fifth of the characters by _ ! $ % # = or a digit"},
    {"count", 0, "K", "print K passwords, one per line (default 1, at most 1000)"},
};
constexpr Option kCpuidOptions[] = {
    {"features", 0, {}, "also list the features of the feature set, one per line"},
    {"speed", 0, "MS", "also measure the clock rate over MS milliseconds (1 to 10000)"},
};
constexpr Option kMachineIdOptions[] = {
    {"ex", 0, {}, "include the network adapter address"},
};
constexpr Option kSaveAsOptions[] = {
    {"filter", 0, "SPEC", "file types as NAME|MASK pairs: 'Text|*.txt|All|*.*' (repeatable)"},
    {"ext", 0, "E", "force the extension E (without the dot) onto the chosen name"},
    {"forbid", 0, "DIR", "ask before saving into DIR or a folder below it"},
    {"title", 0, "T", "the dialog's title (default 'Save as')"},
    {"dir", 0, "DIR", "the folder the dialog starts in"},
    {"name", 0, "NAME", "the file name offered first"},
};

constexpr Command kCommands[] = {
    {.name = "sysinfo", .summary = "memory, directories, network adapters and processor",
     .description =
         "Prints the physical memory (total and available), the temporary, system and\n"
         "installation directories, the free space of the temporary directory's file\n"
         "system, the wired and wireless adapter addresses and a processor summary.",
     .main = &SysInfo},
    {.name = "password", .summary = "invent pronounceable random passwords",
     .description =
         "Prints a password of alternating consonants and vowels with two digits after\n"
         "the sixth letter, drawn from the operating system's random source.",
     .options = kPasswordOptions, .main = &Password},
    {.name = "cpuid", .summary = "identify the processor",
     .description =
         "Prints the vendor, brand text, signature and its fields, brand id, feature\n"
         "sets, serial-number text, logical processor count and whether the historic\n"
         "division flaw is present.  Family and model are shown as the kernel and\n"
         "lscpu compute them, the fields they come from beside them.  Exit status 1\n"
         "on a processor without CPUID.",
     .options = kCpuidOptions, .main = &CpuId},
    {.name = "machine-id", .summary = "the machine's identification string",
     .description = "Prints four groups of four hex digits, the last a check group.",
     .options = kMachineIdOptions, .main = &MachineId},
    {.name = "check-id", .summary = "check a machine identification string",
     .operands = "ID",
     .description =
         "Prints 'valid' and exits 0 when ID has 16 hex digits (other characters are\n"
         "ignored) whose last four are the check group of the first twelve; else\n"
         "prints 'invalid' and exits 1 (2 when the answer cannot be written).",
     .main = &CheckId},
    {.name = "save-as", .summary = "ask for a file name to save under (a dialog)",
     .description =
         "Shows the desktop's save dialog (zenity or kdialog) and prints the chosen\n"
         "name.  An existing file or a name in the --forbid folder is confirmed with a\n"
         "question (No shows the dialog again).  Exit status 1 when cancelled or when\n"
         "no dialog can be shown (no display, no dialog program).",
     .options = kSaveAsOptions, .main = &SaveAs},
};

std::string Hex(uint32_t v, int digits) { return ToUtf8(HexDigits(v, digits)); }

std::string MiB(uint64_t bytes) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%llu bytes (%.1f MiB)", static_cast<unsigned long long>(bytes),
                static_cast<double>(bytes) / 1048576.0);
  return buf;
}

// The family and model as the kernel and lscpu show them: the extended
// family is added when the base family is 15, the extended model (as the
// high four bits) from family 6 on.
int DisplayFamily(uint32_t sig) {
  const int base = CPU_Family(sig);
  return base == 15 ? base + CPU_ExFamily(sig) : base;
}
int DisplayModel(uint32_t sig) {
  const int model = CPU_Model(sig);
  return DisplayFamily(sig) >= 6 ? model + (CPU_ExModel(sig) << 4) : model;
}

int SysInfo(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  uint64_t total = 0, avail = 0;
  if (GetMemoryStatus(total, avail)) {
    std::cout << "memory total:      " << MiB(total) << '\n'
              << "memory available:  " << MiB(avail) << '\n';
  } else {
    std::cout << "memory:            unknown\n";
  }
  const String temp = GetTempDir();
  std::cout << "temporary dir:     " << FileNameToBytes(temp) << '\n'
            << "system dir:        " << FileNameToBytes(GetSystemDir()) << '\n'
            << "installation dir:  " << FileNameToBytes(GetWindowsDir()) << '\n';
  const double free = PathDiskFree(temp), size = PathDiskSize(temp);
  if (free >= 0 && size >= 0) {
    std::cout << "temp free/total:   " << MiB(static_cast<uint64_t>(free)) << " of "
              << MiB(static_cast<uint64_t>(size))
              << (PathIsReadOnly(temp) ? ", read-only" : "") << '\n';
  }
  for (int kind : {1, 2}) {
    String mac;
    const int status = GetMacAddress(kind, mac);
    std::cout << (kind == 1 ? "wired adapter:     " : "wireless adapter:  ") << ToUtf8(mac);
    if (status != 0) std::cout << " (status " << status << ")";
    std::cout << '\n';
  }
  std::cout << "processors:        " << CPU_Count() << '\n';
  if (CPU_IDSupport()) {
    std::cout << "processor:         " << ToUtf8(CPU_VendorString()) << ", "
              << ToUtf8(CPU_MarketName()) << '\n'
              << "family/model/step: " << DisplayFamily(CPU_Signature()) << '/'
              << DisplayModel(CPU_Signature()) << '/' << CPU_Stepping() << '\n';
  }
  return kOk;
}

int Password(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  // The generator makes 4 to 14 characters: a length outside is refused
  // rather than quietly made shorter or longer.
  const int length = static_cast<int>(args.GetInt("length", 8, 4, 14));
  const long long count = args.GetInt("count", 1, 1, 1000);
  for (long long i = 0; i < count; ++i) {
    std::cout << ToUtf8(InventPassword(length, args.Has("mixed"), args.Has("special"))) << '\n';
  }
  return kOk;
}

int CpuId(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  const long long ms = args.GetInt("speed", 0, 1, 10000);
  if (!CPU_IDSupport()) return Fail("this processor has no CPUID instruction");
  const uint32_t sig = CPU_Signature();
  std::cout << "vendor:            " << ToUtf8(CPU_VendorString()) << '\n'
            << "brand:             " << ToUtf8(CPU_MarketName()) << '\n'
            << "signature:         " << Hex(sig, 8) << '\n'
            << "family:            " << DisplayFamily(sig) << " (base " << CPU_Family(sig)
            << ", extended " << CPU_ExFamily(sig) << ")\n"
            << "model:             " << DisplayModel(sig) << " (base " << CPU_Model(sig)
            << ", extended " << CPU_ExModel(sig) << ")\n"
            << "stepping:          " << CPU_Stepping(sig) << '\n'
            << "type:              " << CPU_Type(sig) << (CPU_Type(sig) == 1 ? " (overdrive)" : "")
            << '\n'
            << "brand id:          " << CPU_BrandID() << '\n'
            << "feature set:       " << Hex(CPU_FeatureSet(), 8) << '\n';
  try {
    std::cout << "extended features: " << Hex(CPU_ExtendedFeatureSet(), 8) << '\n';
  } catch (const EZELCpuIdError&) {
    std::cout << "extended features: none\n";
  }
  std::cout << "serial number:     " << ToUtf8(CPU_SerialNumber()) << '\n'
            << "logical CPUs:      " << CPU_Count() << '\n'
            << "FDIV flaw:         " << (CPU_FDIVBugPresent() ? "present" : "absent") << '\n';
  if (args.Has("features")) {
    const uint32_t set = CPU_FeatureSet();
    for (int bit = 0; bit < 32; ++bit) {
      if ((set >> bit) & 1) {
        std::cout << "  " << (bit < 10 ? " " : "") << bit << "  "
                  << ToUtf8(CPUFeatureNames[static_cast<size_t>(bit)]) << '\n';
      }
    }
  }
  if (ms > 0) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", CPU_Speed(static_cast<uint32_t>(ms)));
    std::cout << "clock rate:        " << buf << " MHz (measured over " << ms << " ms)\n";
  }
  return kOk;
}

int MachineId(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  std::cout << ToUtf8(args.Has("ex") ? GenerateCPUIDEx() : GenerateCPUID()) << '\n';
  return kOk;
}

int CheckId(const ParsedArgs& args) {
  AnswersNoMatch();
  args.RequireOperands(1, 1, "ID");
  const bool valid = CheckGeneratedCPUID(FromUtf8(args.Operands()[0]));
  std::cout << (valid ? "valid" : "invalid") << '\n';
  return valid ? kOk : kNoMatch;
}

// An attribute value for the dialog's parameter text: quoted; a value with
// a double quote cannot be written there.
std::string Attribute(const char* attribute, const char* option, const std::string& value) {
  if (value.find('"') != std::string::npos) {
    throw BadUsage(std::string("--") + option + " must not contain '\"'");
  }
  return std::string(" ") + attribute + "=\"" + value + "\"";
}

int SaveAs(const ParsedArgs& args) {
  args.RequireOperands(0, 0);
  std::string filter;
  for (const std::string& f : args.All("filter")) filter += (filter.empty() ? "" : "|") + f;
  std::string params = Attribute("caption", "title", args.Get("title", "Save as"));
  if (!filter.empty()) params += Attribute("filter", "filter", filter);
  if (args.Has("ext")) params += Attribute("ext", "ext", args.Get("ext"));
  if (args.Has("dir")) params += Attribute("initialdir", "dir", args.Get("dir"));

  TUnivSaveDialog dlg(nullptr);
  dlg.SetName(u"save-as");
  dlg.SetParameters(FromUtf8(params));
  dlg.SetFileName(FileNameFromBytes(args.Get("name")));
  dlg.SetForbiddenDir(FileNameFromBytes(args.Get("forbid")));
  const String title = FromUtf8(args.Get("title", "Save as"));
  // A question that cannot be shown counts as cancel: never write without
  // consent.
  auto ask = [&title](const String& text) {
    const TModalResult r = QuestionDialog(title, text, true);
    return r == mrNone ? mrCancel : r;
  };
  dlg.OnOverwrite = [&](TObject*, const String& name, TModalResult& reply) {
    reply = ask(name + u" already exists.  Replace it?");
  };
  dlg.OnForbiddenDir = [&](TObject*, const String& dir, TModalResult& reply) {
    reply = ask(u"The folder " + dir + u" is protected.  Save there anyway?");
  };
  if (!dlg.Execute()) return Fail("cancelled");
  std::cout << FileNameToBytes(dlg.FileName()) << '\n';
  return kOk;
}

const CommandGroup kGroup(95, kCommands);

}  // namespace
}  // namespace zel::cli

// The archive as the installer will meet it: every member test-extracted with the installer's
// own ZIP reader, and every name checked against what the installer refuses to write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace authoring {

// The installer writes target paths of at most 255 characters; the shortest plug-in folder,
// a drive root such as "C:\", leaves this much for a member name.
inline constexpr size_t kMaxMemberName = 252;

// Why the installer would refuse to write a member of this name ("\" or "/" between
// folders), or "" when it writes it.
std::string MemberNameProblem(const std::string& name);

// A "$win\" or "$sys\" marker anywhere but at the start: the installer sends such a member to
// the Windows or system folder, which a folder layout does not mean. "" when there is none.
std::string MarkerProblem(const std::string& name);

struct MemberResult {
  std::string name;     // as the archive spells it
  std::string problem;  // "" when the installer would write the member
  uint16_t method = 0;
  uint32_t size = 0;
};

struct ArchiveCheck {
  std::string problem;  // the archive as a whole cannot be walked; "" otherwise
  std::vector<MemberResult> members;
  bool Ok() const;
};

// Walks the archive file and test-extracts every member into a scratch folder of its own,
// which is removed afterwards.
ArchiveCheck CheckArchive(const std::string& archivePath);

// The name of a ZIP compression method ("stored", "deflated", ...).
std::string MethodName(uint16_t method);

// A folder of its own below the system's temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }  // ends in the separator; empty on failure

 private:
  std::string path_;
};

}  // namespace authoring

// The work buffer's storage: the text as a balanced tree (an implicit treap) of chunks of about
// a kilobyte, each subtree knowing its byte count and its CR count. Finding a position or the
// n-th line break costs a walk down the tree plus a scan of one chunk; an edit rewrites only
// the chunks it touches. The rope keeps CR LF pairs inside one chunk, so a chunk boundary never
// falls inside a line break.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quenda {

class ChunkRope {
 public:
  ChunkRope();
  ~ChunkRope();
  ChunkRope(const ChunkRope&) = delete;
  ChunkRope& operator=(const ChunkRope&) = delete;

  int64_t Size() const;
  int64_t CrCount() const;

  // Replaces the whole text.
  void Assign(std::string_view text);
  // Replaces the bytes [from, to) with `text`; 0 <= from <= to <= Size().
  void Replace(int64_t from, int64_t to, std::string_view text);

  char ByteAt(int64_t position) const;
  // Appends the bytes [from, to) to `out`.
  void Read(int64_t from, int64_t to, std::string& out) const;
  // Number of CR bytes before `position`.
  int64_t CrsBefore(int64_t position) const;
  // Position of the CR with 0-based index `index` (< CrCount()).
  int64_t CrPosition(int64_t index) const;

  // First position >= from where `pattern` matches, not starting on the LF of a CR LF pair;
  // -1 when there is none. With ignoreAsciiCase, ASCII letters compare without regard to case
  // (the pattern must then be upper-cased already). The pattern must hold no CR.
  int64_t Find(int64_t from, std::string_view pattern, bool ignoreAsciiCase) const;

  // Chunk size the rope aims at, and the largest it builds.
  static constexpr int64_t kChunkTarget = 1024;

  struct Node;  // defined in the .cpp file

 private:
  struct Located {
    const Node* node;
    int64_t start;
  };

  Located Locate(int64_t position) const;  // position < Size()
  // Builds a subtree holding the concatenation of the pieces, cut into chunks.
  Node* BuildTree(std::initializer_list<std::string_view> pieces);
  uint32_t NextPriority();

  Node* root_ = nullptr;
  uint64_t random_ = 0x9E3779B97F4A7C15ULL;
  mutable std::string scratch_;
  std::vector<Node*> nodes_;  // reused while building
};

}  // namespace quenda

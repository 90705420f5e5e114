#include "plugin/convert/chunk_rope.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace quenda {

struct ChunkRope::Node {
  Node* left = nullptr;
  Node* right = nullptr;
  uint32_t priority = 0;
  int64_t ownCrs = 0;
  int64_t size = 0;  // bytes in the subtree
  int64_t crs = 0;   // CR bytes in the subtree
  std::string text;
};

namespace {

using Node = ChunkRope::Node;

int64_t SizeOf(const Node* n) { return n != nullptr ? n->size : 0; }
int64_t CrsOf(const Node* n) { return n != nullptr ? n->crs : 0; }
int64_t Len(const Node* n) { return static_cast<int64_t>(n->text.size()); }

void Update(Node* n) {
  n->size = SizeOf(n->left) + Len(n) + SizeOf(n->right);
  n->crs = CrsOf(n->left) + n->ownCrs + CrsOf(n->right);
}

int64_t CountCrs(const char* p, size_t n) {
  int64_t count = 0;
  const char* end = p + n;
  while (p < end) {
    const void* cr = std::memchr(p, '\r', static_cast<size_t>(end - p));
    if (cr == nullptr) break;
    ++count;
    p = static_cast<const char*>(cr) + 1;
  }
  return count;
}

// Splits off the first `bytes` bytes, which must end on a chunk boundary.
void Split(Node* t, int64_t bytes, Node*& left, Node*& right) {
  if (t == nullptr) {
    left = right = nullptr;
    return;
  }
  int64_t leftSize = SizeOf(t->left);
  if (bytes <= leftSize) {
    Split(t->left, bytes, left, t->left);
    Update(t);
    right = t;
  } else {
    Split(t->right, bytes - leftSize - Len(t), t->right, right);
    Update(t);
    left = t;
  }
}

Node* Merge(Node* a, Node* b) {
  if (a == nullptr) return b;
  if (b == nullptr) return a;
  if (a->priority >= b->priority) {
    a->right = Merge(a->right, b);
    Update(a);
    return a;
  }
  b->left = Merge(a, b->left);
  Update(b);
  return b;
}

void FreeTree(Node* t) {
  std::vector<Node*> pending;
  if (t != nullptr) pending.push_back(t);
  while (!pending.empty()) {
    Node* n = pending.back();
    pending.pop_back();
    if (n->left != nullptr) pending.push_back(n->left);
    if (n->right != nullptr) pending.push_back(n->right);
    delete n;
  }
}

Node* BuildBalanced(std::vector<Node*>& nodes, size_t lo, size_t hi) {
  if (lo >= hi) return nullptr;
  size_t mid = lo + (hi - lo) / 2;
  Node* n = nodes[mid];
  n->left = BuildBalanced(nodes, lo, mid);
  n->right = BuildBalanced(nodes, mid + 1, hi);
  Update(n);
  return n;
}

// Walks the chunks in text order from the one holding a position.
class ChunkCursor {
 public:
  ChunkCursor(const Node* root, int64_t position) {
    const Node* n = root;
    int64_t offset = 0;
    while (n != nullptr) {
      int64_t start = offset + SizeOf(n->left);
      if (position < start) {
        stack_.push_back({n, start});
        n = n->left;
      } else if (position < start + Len(n)) {
        node_ = n;
        start_ = start;
        return;
      } else {
        offset = start + Len(n);
        n = n->right;
      }
    }
  }
  const Node* node() const { return node_; }
  int64_t start() const { return start_; }
  void Next() {
    if (node_->right != nullptr) {
      const Node* n = node_->right;
      int64_t offset = start_ + Len(node_);
      while (n->left != nullptr) {
        stack_.push_back({n, offset + SizeOf(n->left)});
        n = n->left;
      }
      node_ = n;
      start_ = offset;
    } else if (!stack_.empty()) {
      node_ = stack_.back().first;
      start_ = stack_.back().second;
      stack_.pop_back();
    } else {
      node_ = nullptr;
    }
  }

 private:
  std::vector<std::pair<const Node*, int64_t>> stack_;
  const Node* node_ = nullptr;
  int64_t start_ = 0;
};

struct ByteMap {
  unsigned char map[256];
};

constexpr ByteMap MakeByteMap(bool asciiUpper) {
  ByteMap t{};
  for (int i = 0; i < 256; ++i) t.map[i] = static_cast<unsigned char>(asciiUpper && i >= 'a' && i <= 'z' ? i - 32 : i);
  return t;
}

constexpr ByteMap kIdentity = MakeByteMap(false);
constexpr ByteMap kAsciiUpper = MakeByteMap(true);

}  // namespace

ChunkRope::ChunkRope() = default;
ChunkRope::~ChunkRope() { FreeTree(root_); }

int64_t ChunkRope::Size() const { return SizeOf(root_); }
int64_t ChunkRope::CrCount() const { return CrsOf(root_); }

uint32_t ChunkRope::NextPriority() {
  random_ ^= random_ << 13;
  random_ ^= random_ >> 7;
  random_ ^= random_ << 17;
  return static_cast<uint32_t>(random_ >> 32);
}

ChunkRope::Node* ChunkRope::BuildTree(std::initializer_list<std::string_view> pieces) {
  // The pieces are cut as one text, without joining them first: a whole-text replacement
  // then copies each byte once.
  int64_t total = 0;
  for (std::string_view p : pieces) total += static_cast<int64_t>(p.size());
  if (total == 0) return nullptr;
  auto byteAt = [&pieces](int64_t at) {
    for (std::string_view p : pieces) {
      if (at < static_cast<int64_t>(p.size())) return p[static_cast<size_t>(at)];
      at -= static_cast<int64_t>(p.size());
    }
    return '\0';
  };
  const int64_t count = (total + kChunkTarget - 1) / kChunkTarget;
  const int64_t piece = (total + count - 1) / count;
  std::vector<Node*>& nodes = nodes_;
  nodes.clear();
  nodes.reserve(static_cast<size_t>(count) + 1);
  const std::string_view* current = pieces.begin();
  size_t offset = 0;  // within *current
  int64_t from = 0;
  while (from < total) {
    int64_t to = std::min(total, from + piece);
    // Keep a CR LF pair in one chunk.
    if (to < total && byteAt(to - 1) == '\r' && byteAt(to) == '\n') ++to;
    Node* n = new Node;
    n->text.reserve(static_cast<size_t>(to - from));
    for (int64_t need = to - from; need > 0;) {
      while (offset == current->size()) {
        ++current;
        offset = 0;
      }
      size_t take = std::min(static_cast<size_t>(need), current->size() - offset);
      n->text.append(current->data() + offset, take);
      offset += take;
      need -= static_cast<int64_t>(take);
    }
    n->ownCrs = CountCrs(n->text.data(), n->text.size());
    nodes.push_back(n);
    from = to;
  }
  Node* root = BuildBalanced(nodes, 0, nodes.size());
  // Heap-ordered priorities: the largest at the root, handed out level by level.
  std::vector<uint32_t> priorities(nodes.size());
  for (uint32_t& p : priorities) p = NextPriority();
  std::sort(priorities.begin(), priorities.end(), std::greater<uint32_t>());
  nodes.clear();
  nodes.push_back(root);
  for (size_t i = 0; i < nodes.size(); ++i) {
    Node* n = nodes[i];
    n->priority = priorities[i];
    if (n->left != nullptr) nodes.push_back(n->left);
    if (n->right != nullptr) nodes.push_back(n->right);
  }
  return root;
}

void ChunkRope::Assign(std::string_view text) {
  // Freed first, so that the new chunks can reuse the old ones' memory.
  FreeTree(root_);
  root_ = nullptr;
  root_ = BuildTree({text});
}

ChunkRope::Located ChunkRope::Locate(int64_t position) const {
  const Node* n = root_;
  int64_t offset = 0;
  while (n != nullptr) {
    int64_t start = offset + SizeOf(n->left);
    if (position < start) {
      n = n->left;
    } else if (position < start + Len(n)) {
      return {n, start};
    } else {
      offset = start + Len(n);
      n = n->right;
    }
  }
  return {nullptr, 0};
}

void ChunkRope::Replace(int64_t from, int64_t to, std::string_view text) {
  const int64_t size = Size();
  if (size == 0) {
    root_ = BuildTree({text});
    return;
  }
  // The edit rewrites whole chunks: the one holding `from` (the last one when appending, so
  // that appends do not leave a trail of tiny chunks) through the one holding `to - 1`.
  Located first = Locate(from < size ? from : size - 1);
  Located last = to > from ? Locate(to - 1) : first;
  const int64_t seamStart = first.start;
  const int64_t seamEnd = last.start + Len(last.node);
  std::string prefix = first.node->text.substr(0, static_cast<size_t>(from - seamStart));
  std::string suffix = last.node->text.substr(static_cast<size_t>(to - last.start));

  Node* before = nullptr;
  Node* rest = nullptr;
  Node* middle = nullptr;
  Node* after = nullptr;
  Split(root_, seamStart, before, rest);
  Split(rest, seamEnd - seamStart, middle, after);
  FreeTree(middle);

  // A small seam takes in its right neighbour, so that many small edits do not fragment.
  if (static_cast<int64_t>(prefix.size() + text.size() + suffix.size()) < kChunkTarget / 4 && after != nullptr) {
    const Node* leftmost = after;
    while (leftmost->left != nullptr) leftmost = leftmost->left;
    Node* neighbour = nullptr;
    Split(after, Len(leftmost), neighbour, after);
    suffix.append(neighbour->text);
    FreeTree(neighbour);
  }
  root_ = Merge(Merge(before, BuildTree({prefix, text, suffix})), after);
}

char ChunkRope::ByteAt(int64_t position) const {
  Located at = Locate(position);
  return at.node != nullptr ? at.node->text[static_cast<size_t>(position - at.start)] : '\0';
}

void ChunkRope::Read(int64_t from, int64_t to, std::string& out) const {
  if (from >= to) return;
  out.reserve(out.size() + static_cast<size_t>(to - from));
  for (ChunkCursor c(root_, from); c.node() != nullptr && c.start() < to; c.Next()) {
    const std::string& t = c.node()->text;
    int64_t a = std::max(from, c.start()) - c.start();
    int64_t b = std::min(to, c.start() + Len(c.node())) - c.start();
    out.append(t.data() + a, static_cast<size_t>(b - a));
  }
}

int64_t ChunkRope::CrsBefore(int64_t position) const {
  if (position >= Size()) return CrCount();
  const Node* n = root_;
  int64_t offset = 0;
  int64_t crs = 0;
  while (n != nullptr) {
    int64_t start = offset + SizeOf(n->left);
    if (position < start) {
      n = n->left;
    } else if (position < start + Len(n)) {
      return crs + CrsOf(n->left) + CountCrs(n->text.data(), static_cast<size_t>(position - start));
    } else {
      crs += CrsOf(n->left) + n->ownCrs;
      offset = start + Len(n);
      n = n->right;
    }
  }
  return crs;
}

int64_t ChunkRope::CrPosition(int64_t index) const {
  const Node* n = root_;
  int64_t offset = 0;
  while (n != nullptr) {
    int64_t leftCrs = CrsOf(n->left);
    int64_t start = offset + SizeOf(n->left);
    if (index < leftCrs) {
      n = n->left;
    } else if (index < leftCrs + n->ownCrs) {
      int64_t wanted = index - leftCrs;
      const char* p = n->text.data();
      const char* end = p + n->text.size();
      for (;;) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
        if (wanted == 0) return start + (cr - n->text.data());
        --wanted;
        p = cr + 1;
      }
    } else {
      index -= leftCrs + n->ownCrs;
      offset = start + Len(n);
      n = n->right;
    }
  }
  return Size();
}

int64_t ChunkRope::Find(int64_t from, std::string_view text, bool ignoreAsciiCase) const {
  const size_t m = text.size();
  if (m == 0 || from >= Size()) return -1;
  const unsigned char* upper = ignoreAsciiCase ? kAsciiUpper.map : kIdentity.map;
  const auto* pattern = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char first = pattern[0];
  // The text is streamed chunk by chunk through a window that keeps the last m - 1 bytes, so
  // that a match across a chunk boundary is found and no byte is looked at twice per window.
  std::string& window = scratch_;
  window.clear();
  int64_t windowStart = from;
  bool beforeWindowIsCr = from > 0 && ByteAt(from - 1) == '\r';
  for (ChunkCursor c(root_, from); c.node() != nullptr; c.Next()) {
    const std::string& t = c.node()->text;
    size_t skip = static_cast<size_t>(std::max<int64_t>(from - c.start(), 0));
    window.append(t, skip);
    const auto* w = reinterpret_cast<const unsigned char*>(window.data());
    const size_t n = window.size();
    for (size_t j = 0; j + m <= n; ++j) {
      if (upper[w[j]] != first) continue;
      size_t k = 1;
      while (k < m && upper[w[j + k]] == pattern[k]) ++k;
      if (k < m) continue;
      // A match may not begin on the second half of a line break.
      bool afterCr = j > 0 ? w[j - 1] == '\r' : beforeWindowIsCr;
      if (w[j] == '\n' && afterCr) continue;
      return windowStart + static_cast<int64_t>(j);
    }
    size_t keep = std::min(n, m - 1);
    size_t drop = n - keep;
    if (drop > 0) {
      beforeWindowIsCr = w[drop - 1] == '\r';
      window.erase(0, drop);
      windowStart += static_cast<int64_t>(drop);
    }
  }
  return -1;
}

}  // namespace quenda

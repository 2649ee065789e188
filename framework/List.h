#pragma once

// A doubly linked list. A Position names one node; it stays valid until that node is removed,
// whatever else is added or removed, which is what queues of running tasks rely on.
//
// Iteration, either way:
//   for (const T& item : list) ...
//   for (auto pos = list.GetHeadPosition(); pos;) { T& item = list.GetNext(pos); ... }
// To remove while iterating, keep the current position before GetNext moves on.
//
// Nodes come from new; in product code (no exceptions) a failed allocation ends the process.

#include <utility>

namespace fw {

template <typename T> class CList {
    struct Node {
        explicit Node(T&& v) : value(std::move(v)) {}
        T value;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

  public:
    // Opaque handle to one element; null means "none".
    class NodeRef;
    using Position = NodeRef*;

    CList() noexcept = default;
    ~CList() { RemoveAll(); }

    CList(const CList& other)
    {
        for (const T& value : other) {
            AddTail(value);
        }
    }
    CList(CList&& other) noexcept : head_(other.head_), tail_(other.tail_), count_(other.count_)
    {
        other.head_ = nullptr;
        other.tail_ = nullptr;
        other.count_ = 0;
    }
    CList& operator=(CList other) noexcept
    {
        std::swap(head_, other.head_);
        std::swap(tail_, other.tail_);
        std::swap(count_, other.count_);
        return *this;
    }

    int GetCount() const noexcept { return count_; }
    bool IsEmpty() const noexcept { return count_ == 0; }

    Position AddHead(T value) { return Link(new Node(std::move(value)), nullptr, head_); }
    Position AddTail(T value) { return Link(new Node(std::move(value)), tail_, nullptr); }

    // The list must not be empty.
    T& GetHead() noexcept { return head_->value; }
    const T& GetHead() const noexcept { return head_->value; }
    T& GetTail() noexcept { return tail_->value; }
    const T& GetTail() const noexcept { return tail_->value; }

    // The list must not be empty.
    T RemoveHead() { return Take(head_); }
    T RemoveTail() { return Take(tail_); }

    // position must come from this list and must not have been removed.
    void RemoveAt(Position position) noexcept { Destroy(Unlink(ToNode(position))); }

    void RemoveAll() noexcept
    {
        Node* node = head_;
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        head_ = nullptr;
        tail_ = nullptr;
        count_ = 0;
    }

    Position GetHeadPosition() const noexcept { return ToPosition(head_); }
    Position GetTailPosition() const noexcept { return ToPosition(tail_); }

    // The element at position; position moves to the next (or previous) one, null at the end.
    T& GetNext(Position& position) const noexcept
    {
        Node* node = ToNode(position);
        position = ToPosition(node->next);
        return node->value;
    }
    T& GetPrev(Position& position) const noexcept
    {
        Node* node = ToNode(position);
        position = ToPosition(node->prev);
        return node->value;
    }
    T& GetAt(Position position) const noexcept { return ToNode(position)->value; }

    template <typename V, typename N> class Iterator {
      public:
        explicit Iterator(N* node) noexcept : node_(node) {}
        V& operator*() const noexcept { return node_->value; }
        V* operator->() const noexcept { return &node_->value; }
        Iterator& operator++() noexcept
        {
            node_ = node_->next;
            return *this;
        }
        bool operator==(const Iterator& other) const noexcept { return node_ == other.node_; }
        bool operator!=(const Iterator& other) const noexcept { return node_ != other.node_; }

      private:
        N* node_;
    };
    using iterator = Iterator<T, Node>;
    using const_iterator = Iterator<const T, const Node>;

    iterator begin() noexcept { return iterator(head_); }
    iterator end() noexcept { return iterator(nullptr); }
    const_iterator begin() const noexcept { return const_iterator(head_); }
    const_iterator end() const noexcept { return const_iterator(nullptr); }

  private:
    // Position is a pointer to an incomplete type, so callers cannot reach into nodes.
    static Position ToPosition(Node* node) noexcept { return reinterpret_cast<Position>(node); }
    static Node* ToNode(Position position) noexcept { return reinterpret_cast<Node*>(position); }

    Position Link(Node* node, Node* prev, Node* next) noexcept
    {
        node->prev = prev;
        node->next = next;
        (prev ? prev->next : head_) = node;
        (next ? next->prev : tail_) = node;
        ++count_;
        return ToPosition(node);
    }

    Node* Unlink(Node* node) noexcept
    {
        (node->prev ? node->prev->next : head_) = node->next;
        (node->next ? node->next->prev : tail_) = node->prev;
        --count_;
        return node;
    }

    static void Destroy(Node* node) noexcept { delete node; }

    T Take(Node* node)
    {
        Unlink(node);
        T value(std::move(node->value));
        Destroy(node);
        return value;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    int count_ = 0;
};

} // namespace fw

// Intrusive circular doubly linked lists: the playing songs.
// A node that is in no list links to itself; the head is a node without an owner.
#pragma once

namespace qvl {

template <class T>
struct ListLink {
    ListLink* next = this;
    ListLink* prev = this;
    T* owner = nullptr;

    ListLink() = default;
    explicit ListLink(T* o) : owner(o) {}
    ListLink(const ListLink&) = delete;
    ListLink& operator=(const ListLink&) = delete;

    bool linked() const { return next != this; }
};

// Appends the node before the head, at the tail of the list.
template <class T>
void appendNode(ListLink<T>& head, ListLink<T>& node) {
    node.prev = head.prev;
    node.next = &head;
    head.prev->next = &node;
    head.prev = &node;
}

// Unlinks the node; it then links to itself.
template <class T>
void unlinkNode(ListLink<T>& node) {
    node.prev->next = node.next;
    node.next->prev = node.prev;
    node.next = &node;
    node.prev = &node;
}

}  // namespace qvl

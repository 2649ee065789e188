#pragma once

// A growable array of any element type, including ones with constructors and destructors such as
// CSharedString. Storage grows geometrically; elements are moved when it does.
//
// Memory comes from ::operator new. In product code (no exceptions) a failed allocation ends the
// process; a size the int index cannot describe is treated the same way.

#include <climits>
#include <cstddef>
#include <new>
#include <utility>

namespace fw {

template <typename T> class CArray {
  public:
    CArray() noexcept = default;
    ~CArray()
    {
        RemoveAll();
        ::operator delete(data_);
    }

    CArray(const CArray& other)
    {
        Reserve(other.size_);
        for (int i = 0; i < other.size_; ++i) {
            new (data_ + i) T(other.data_[i]);
            ++size_;
        }
    }
    CArray(CArray&& other) noexcept
        : data_(other.data_), size_(other.size_), capacity_(other.capacity_)
    {
        other.data_ = nullptr;
        other.size_ = 0;
        other.capacity_ = 0;
    }
    CArray& operator=(CArray other) noexcept
    {
        Swap(other);
        return *this;
    }

    int GetSize() const noexcept { return size_; }
    size_t size() const noexcept { return static_cast<size_t>(size_); }
    bool IsEmpty() const noexcept { return size_ == 0; }

    // No bounds check.
    T& operator[](int index) noexcept { return data_[index]; }
    const T& operator[](int index) const noexcept { return data_[index]; }

    T* GetData() noexcept { return data_; }
    const T* GetData() const noexcept { return data_; }
    T* begin() noexcept { return data_; }
    T* end() noexcept { return data_ + size_; }
    const T* begin() const noexcept { return data_; }
    const T* end() const noexcept { return data_ + size_; }

    // By value, so adding an element of this same array is safe when the storage moves.
    int Add(T value)
    {
        Grow(size_ + 1);
        new (data_ + size_) T(std::move(value));
        return size_++;
    }

    // Inserts before index; index == GetSize() appends. False (and no change) when index is
    // outside 0..GetSize().
    bool InsertAt(int index, T value)
    {
        if (index < 0 || index > size_) {
            return false;
        }
        Grow(size_ + 1);
        if (index == size_) {
            new (data_ + size_) T(std::move(value));
        } else {
            // Shift the tail up by one: the last element moves into raw memory, the rest by
            // assignment into live elements.
            new (data_ + size_) T(std::move(data_[size_ - 1]));
            for (int i = size_ - 1; i > index; --i) {
                data_[i] = std::move(data_[i - 1]);
            }
            data_[index] = std::move(value);
        }
        ++size_;
        return true;
    }

    // Removes count elements from index on. False (and no change) when the range is not inside
    // the array.
    bool RemoveAt(int index, int count = 1)
    {
        if (index < 0 || count < 0 || index > size_ || count > size_ - index) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        for (int i = index; i + count < size_; ++i) {
            data_[i] = std::move(data_[i + count]);
        }
        for (int i = size_ - count; i < size_; ++i) {
            data_[i].~T();
        }
        size_ -= count;
        return true;
    }

    // Destroys the elements and keeps the storage.
    void RemoveAll() noexcept
    {
        for (int i = 0; i < size_; ++i) {
            data_[i].~T();
        }
        size_ = 0;
    }

    void Reserve(int capacity)
    {
        if (capacity > capacity_) {
            Reallocate(capacity);
        }
    }

    void Swap(CArray& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

  private:
    // Keeps every byte count inside an int, so it also fits a 32-bit size_t.
    static constexpr int kMaxCapacity =
        static_cast<int>((static_cast<size_t>(INT_MAX) - 1) / sizeof(T));

    void Grow(int needed)
    {
        if (needed <= capacity_) {
            return;
        }
        int capacity = capacity_ < 8 ? 8 : capacity_;
        while (capacity < needed) {
            if (capacity > kMaxCapacity / 2) {
                capacity = needed > kMaxCapacity ? needed : kMaxCapacity;
                break;
            }
            capacity *= 2;
        }
        Reallocate(capacity);
    }

    void Reallocate(int capacity)
    {
        // An impossible size asks operator new for everything, which fails the normal way.
        const size_t bytes = capacity < 0 || capacity > kMaxCapacity
                                 ? static_cast<size_t>(-1)
                                 : static_cast<size_t>(capacity) * sizeof(T);
        T* fresh = static_cast<T*>(::operator new(bytes));
        for (int i = 0; i < size_; ++i) {
            new (fresh + i) T(std::move(data_[i]));
            data_[i].~T();
        }
        ::operator delete(data_);
        data_ = fresh;
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    int size_ = 0;
    int capacity_ = 0;
};

} // namespace fw

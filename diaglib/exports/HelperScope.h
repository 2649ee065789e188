#pragma once
// A test's helper object: made when the test starts, named in the engine's member for as long
// as the test runs, destroyed on every way out of it.

template <class Helper> class HelperScope {
  public:
    explicit HelperScope(Helper*& slot) : slot_(slot) { slot_ = new Helper; }
    ~HelperScope()
    {
        delete slot_;
        slot_ = nullptr;
    }
    HelperScope(const HelperScope&) = delete;
    HelperScope& operator=(const HelperScope&) = delete;

    Helper* operator->() const { return slot_; }
    Helper& operator*() const { return *slot_; }

  private:
    Helper*& slot_;
};

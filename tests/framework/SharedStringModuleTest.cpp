// The shared string across modules: StringPeer.dll links its own copy of the framework, so it
// has its own free function and its own count of freed blocks. A block must always go back to
// the module that made it, whichever module drops the last reference.

#include "framework/Handles.h"
#include "framework/SharedString.h"

#include <gtest/gtest.h>

using fw::CSharedString;

namespace {

using MakeFn = void(__cdecl*)(const wchar_t*, void**);
using ReleaseFn = void(__cdecl*)(void*);
using CopyFn = void(__cdecl*)(void*, void**);
using CountFn = LONG(__cdecl*)();

template <typename Fn> Fn Import(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class SharedStringAcrossModules : public testing::Test {
  protected:
    // Loaded once and kept: strings the DLL made must not outlive its code.
    static void SetUpTestSuite()
    {
        peer_ = new fw::UniqueModule(LoadLibraryW(L"StringPeer.dll"));
        if (!*peer_) {
            return;
        }
        make_ = Import<MakeFn>(peer_->get(), "MakePeerString");
        release_ = Import<ReleaseFn>(peer_->get(), "ReleasePeerString");
        copy_ = Import<CopyFn>(peer_->get(), "CopyPeerString");
        peerFreed_ = Import<CountFn>(peer_->get(), "PeerFreedBlocks");
    }
    static void TearDownTestSuite()
    {
        delete peer_;
        peer_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(*peer_) << "StringPeer.dll not loaded, error " << GetLastError();
        ASSERT_TRUE(make_ && release_ && copy_ && peerFreed_);
    }

    static fw::UniqueModule* peer_;
    static MakeFn make_;
    static ReleaseFn release_;
    static CopyFn copy_;
    static CountFn peerFreed_;
};

fw::UniqueModule* SharedStringAcrossModules::peer_ = nullptr;
MakeFn SharedStringAcrossModules::make_ = nullptr;
ReleaseFn SharedStringAcrossModules::release_ = nullptr;
CopyFn SharedStringAcrossModules::copy_ = nullptr;
CountFn SharedStringAcrossModules::peerFreed_ = nullptr;

TEST_F(SharedStringAcrossModules, BlockMadeInPeerIsFreedByPeer)
{
    const LONG peerBefore = peerFreed_();
    const LONG ownBefore = CSharedString::FreedBlockCount();
    {
        void* raw = nullptr;
        make_(L"made in the peer", &raw);
        ASSERT_NE(raw, nullptr);
        const CSharedString adopted = CSharedString::Attach(static_cast<wchar_t*>(raw));
        CSharedString copy = adopted;
        CSharedString assigned;
        assigned = copy;
        EXPECT_TRUE(assigned == L"made in the peer");
        EXPECT_EQ(assigned.c_str(), adopted.c_str());
    }
    EXPECT_EQ(peerFreed_(), peerBefore + 1);
    EXPECT_EQ(CSharedString::FreedBlockCount(), ownBefore);
}

TEST_F(SharedStringAcrossModules, BlockMadeHereIsFreedByUsWhenPeerDropsLastReference)
{
    const LONG peerBefore = peerFreed_();
    const LONG ownBefore = CSharedString::FreedBlockCount();

    CSharedString mine(L"made in the test program");
    void* first = CSharedString(mine).Detach();
    void* second = nullptr;
    copy_(first, &second);
    EXPECT_EQ(second, first);

    mine.Empty();
    release_(first);
    EXPECT_EQ(CSharedString::FreedBlockCount(), ownBefore); // second still holds it
    release_(second);

    EXPECT_EQ(CSharedString::FreedBlockCount(), ownBefore + 1);
    EXPECT_EQ(peerFreed_(), peerBefore);
}

TEST_F(SharedStringAcrossModules, GrowingPeerStringGivesOldBlockBackToPeer)
{
    void* raw = nullptr;
    make_(L"short", &raw);
    CSharedString s = CSharedString::Attach(static_cast<wchar_t*>(raw));

    const LONG peerBefore = peerFreed_();
    const LONG ownBefore = CSharedString::FreedBlockCount();
    // The peer's block has no room: the text moves to a block of ours, the old one goes home.
    s += L" and now much longer than before";
    EXPECT_EQ(peerFreed_(), peerBefore + 1);
    EXPECT_TRUE(s == L"short and now much longer than before");

    s.Empty();
    EXPECT_EQ(CSharedString::FreedBlockCount(), ownBefore + 1);
    EXPECT_EQ(peerFreed_(), peerBefore + 1);
}

constexpr int kThreads = 4;

struct CopyWork {
    const CSharedString* source;
    volatile LONG ready;
    volatile LONG go;
};

// Spins until every thread is running: threads woken one by one from an event tend to take
// turns on the count instead of racing for it.
bool WaitFor(volatile LONG* value, LONG expected)
{
    const DWORD start = GetTickCount();
    while (InterlockedCompareExchange(value, 0, 0) < expected) {
        if (GetTickCount() - start > 10000) {
            return false;
        }
        YieldProcessor();
    }
    return true;
}

DWORD WINAPI CopyLoop(void* param)
{
    CopyWork* work = static_cast<CopyWork*>(param);
    InterlockedIncrement(&work->ready);
    if (!WaitFor(&work->go, 1)) {
        return 1;
    }
    for (int i = 0; i < 500000; ++i) {
        CSharedString copy = *work->source;
        CSharedString second;
        second = copy;
    }
    return 0;
}

// Copies made and dropped on several threads at once must free the block exactly once.
TEST_F(SharedStringAcrossModules, ReferenceCountIsThreadSafe)
{
    void* raw = nullptr;
    make_(L"shared by threads", &raw);
    const LONG peerBefore = peerFreed_();

    CSharedString source = CSharedString::Attach(static_cast<wchar_t*>(raw));
    CopyWork work{&source, 0, 0};
    fw::UniqueHandle threads[kThreads];
    HANDLE raws[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        threads[i].reset(CreateThread(nullptr, 0, CopyLoop, &work, 0, nullptr));
        ASSERT_TRUE(threads[i]);
        raws[i] = threads[i].get();
    }
    const bool allRunning = WaitFor(&work.ready, kThreads);
    InterlockedExchange(&work.go, 1);
    ASSERT_TRUE(allRunning);
    ASSERT_EQ(WaitForMultipleObjects(kThreads, raws, TRUE, 60000), WAIT_OBJECT_0);

    EXPECT_EQ(peerFreed_(), peerBefore);
    source.Empty();
    EXPECT_EQ(peerFreed_(), peerBefore + 1);
}

} // namespace

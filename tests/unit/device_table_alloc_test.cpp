// The device table when the heap refuses a node. The global allocation
// functions are replaced in this executable alone, with a switch that makes
// every allocation of one thread fail while it is on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <memory>
#include <new>
#include <thread>

#include "device_table.h"

namespace {

// Only the thread that turned the refusal on is refused, so that whatever the
// runtime does meanwhile on other threads goes on as usual.
thread_local bool refuseAllocations = false;

void* Allocate(std::size_t size) noexcept
{
    if (refuseAllocations)
        return nullptr;
    return std::malloc(size ? size : 1);
}

// Turns the refusal on, on this thread, for the life of the object.
class HeapRefusal {
public:
    HeapRefusal() { refuseAllocations = true; }
    ~HeapRefusal() { refuseAllocations = false; }
    HeapRefusal(const HeapRefusal&) = delete;
    HeapRefusal& operator=(const HeapRefusal&) = delete;
};

}  // namespace

void* operator new(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

namespace {

// A record that counts its live copies, so that a refused append is seen to
// leave none behind and the table's destruction to free every one.
struct Tracked {
    static inline std::atomic<int> live{0};
    int id;
    explicit Tracked(int value) : id(value) { ++live; }
    Tracked(const Tracked& other) : id(other.id) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --live; }
};

using Table = CListVur<Tracked>;

// Runs `operation` on another thread and tells whether it ended within the
// time limit; a lock left held would keep it waiting. A thread that ended
// is joined (winpthreads under Wine can hand a new thread a null start
// argument while a detached one is still ending); one that did not is left
// behind with its own share of the table, so nothing it waits on is freed.
bool EndsInTime(std::shared_ptr<Table> table, void (*operation)(Table&))
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> ended = done->get_future();
    std::thread worker([table, done, operation] {
        operation(*table);
        done->set_value();
    });
    if (ended.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        worker.detach();
        return false;
    }
    worker.join();
    return true;
}

int IdAt(Table& table, std::uint32_t position)
{
    Tracked out(-1);
    return table.GetAt(position, &out) ? out.id : -1;
}

TEST(DeviceTableAllocation, RefusedNodeLeavesTheTableAsItWas)
{
    const int liveBefore = Tracked::live;
    {
        auto table = std::make_shared<Table>();
        ASSERT_TRUE(table->AddTail(Tracked(1)));
        ASSERT_TRUE(table->AddTail(Tracked(2)));
        ASSERT_EQ(IdAt(*table, 1), 2);  // the cursor now rests on the tail

        const Tracked refused(3);
        const int liveWithRefused = Tracked::live;
        bool added = true;
        {
            HeapRefusal refusal;
            added = table->AddTail(refused);
        }
        EXPECT_FALSE(added);
        EXPECT_EQ(Tracked::live, liveWithRefused) << "a refused record was kept or freed twice";

        // The lock was given back: another thread gets through at once.
        ASSERT_TRUE(EndsInTime(table, [](Table& t) { (void)IdAt(t, 0); })) << "the table's lock stayed held";
        ASSERT_TRUE(EndsInTime(table, [](Table& t) { (void)t.AddTail(Tracked(4)); })) << "the table's lock stayed held";

        // The refused record left no trace: the next append went right after 2.
        EXPECT_EQ(IdAt(*table, 0), 1);
        EXPECT_EQ(IdAt(*table, 1), 2);
        EXPECT_EQ(IdAt(*table, 2), 4);
        EXPECT_EQ(IdAt(*table, 3), 4);
        EXPECT_TRUE(table->SetAt(2, Tracked(5)));
        EXPECT_FALSE(table->SetAt(3, Tracked(6)));
        EXPECT_EQ(IdAt(*table, 0xFFFFFFFFu), 5);
    }
    EXPECT_EQ(Tracked::live, liveBefore) << "the table did not free every record";
}

TEST(DeviceTableAllocation, RefusedFirstNodeLeavesAnEmptyTableThatStillWorks)
{
    auto table = std::make_shared<Table>();
    bool added = true;
    {
        HeapRefusal refusal;
        added = table->AddTail(Tracked(1));
    }
    EXPECT_FALSE(added);
    // From another thread first: a Win32 critical section lets its owner in again.
    ASSERT_TRUE(EndsInTime(table, [](Table& t) { t.RemoveAll(); })) << "the table's lock stayed held";
    EXPECT_EQ(IdAt(*table, 0), -1);
    EXPECT_FALSE(table->SetAt(0, Tracked(2)));
    EXPECT_TRUE(table->AddTail(Tracked(3)));
    EXPECT_EQ(IdAt(*table, 0), 3);
    EXPECT_EQ(IdAt(*table, 7), 3);
}

// Every third append refused, the others let through: each refusal is
// reported, and the records that got in are all there, in order.
TEST(DeviceTableAllocation, RefusalsBetweenAppendsLoseOnlyTheRefusedRecords)
{
    auto table = std::make_shared<Table>();
    int kept = 0;
    for (int id = 0; id < 40; ++id) {
        const bool refuse = id % 3 == 1;
        bool added = false;
        if (refuse) {
            HeapRefusal refusal;
            added = table->AddTail(Tracked(id));
        } else {
            added = table->AddTail(Tracked(id));
        }
        EXPECT_EQ(added, !refuse) << "record " << id;
        if (refuse) {
            ASSERT_TRUE(EndsInTime(table, [](Table& t) { (void)IdAt(t, 0); })) << "the table's lock stayed held";
        }
        if (added) {
            EXPECT_EQ(IdAt(*table, static_cast<std::uint32_t>(kept)), id);
            ++kept;
        }
    }
    int position = 0;
    for (int id = 0; id < 40; ++id) {
        if (id % 3 != 1) {
            EXPECT_EQ(IdAt(*table, static_cast<std::uint32_t>(position)), id);
            ++position;
        }
    }
    EXPECT_EQ(IdAt(*table, static_cast<std::uint32_t>(kept)), 39);
}

}  // namespace

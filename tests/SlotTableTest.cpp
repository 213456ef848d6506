// SPDX-FileCopyrightText: 2026 The VekGpuKalderExtensions Authors
// SPDX-License-Identifier: Apache-2.0
// Every slot of a backend object, called through IBackend from a host that
// loaded the plug-in.
#include <gtest/gtest.h>

#include "support/LogCapture.h"
#include "support/Plugin.h"

namespace vek::test {
namespace {

TEST(SlotTable, FixedAnswersReachTheirSlots) {
    BackendPtr backend = makeBackend();
    IBackend& b = *backend;
    captureLogsOf(b);
    int data = 0;
    void* handle = &data;
    const std::pair<int, bool> accepting[] = {
        {4, b.acceptHook4(7)},          {14, b.acceptHook14("g", &data, 4, 0)}, {15, b.acceptHook15("g")},
        {16, b.acceptHook16("g", 2)},   {17, b.acceptHook17("g", 1)},         {18, b.acceptHook18("g")},
        {19, b.acceptHook19("g", -1)},  {20, b.acceptHook20("g")},            {21, b.acceptHook21(1)},
        {22, b.acceptHook22(1)},        {23, b.acceptHook23("t", 64)},        {24, b.acceptHook24("t")},
        {25, b.acceptHook25(3)},        {26, b.acceptHook26("event", 99)},    {27, b.acceptHook27(handle)},
        {28, b.acceptHook28(handle)},   {30, b.acceptHook30(handle)},         {31, b.acceptHook31(handle)},
        {32, b.acceptHook32(4)},        {40, b.acceptHook40("build")},        {41, b.acceptHook41(1)},
        {42, b.acceptHook42(1000)},     {45, b.acceptHook45("g", 0, &data, 4)}, {46, b.acceptHook46(0)},
    };
    const std::pair<int, bool> declining[] = {
        {5, b.declineHook5("--opt", "1")}, {33, b.declineHook33("pkg")},    {34, b.declineHook34("cache")},
        {35, b.declineHook35("cache")},    {36, b.declineHook36(2)},        {43, b.declineHook43("k", "v")},
        {48, b.declineHook48("g")},        {49, b.declineHook49(&handle)},  {50, b.declineHook50("g", 3)},
    };
    for (const auto& [slot, answer] : accepting) EXPECT_TRUE(answer) << "slot " << slot;
    for (const auto& [slot, answer] : declining) EXPECT_FALSE(answer) << "slot " << slot;
    EXPECT_EQ(handle, &data) << "slot 49 must not write its cell";
    EXPECT_TRUE(capturedLines().empty());
}

TEST(SlotTable, PointerAndStringSlots) {
    BackendPtr backend = makeBackend();
    EXPECT_EQ(backend->emptyPointerHook37(), nullptr);
    EXPECT_EQ(backend->emptyPointerHook39(), nullptr);
    backend->freePointerHook38(nullptr);
    backend->freePointerHook38(std::make_unique<uint8_t[]>(4096));
    backend->noOpHook47(12345);

    auto resource = std::make_shared<int>(5);
    std::weak_ptr<int> watch = resource;
    EXPECT_TRUE(backend->releaseSharedHook7(std::move(resource)));
    EXPECT_TRUE(watch.expired()) << "slot 7 drops the last reference";

    const std::string longText(1000, 'x');
    EXPECT_TRUE(backend->acceptStringsHook44(1, longText, 2, longText + "y", nullptr, 0, 0, true));
    Plugin::instance().destroy(nullptr);  // does nothing
}

}  // namespace
}  // namespace vek::test

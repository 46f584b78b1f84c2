#pragma once

#include <QtGlobal>

#include <functional>

// The runtime never gives WebAssembly memory back while its page lives: once
// the page's renderer has grown by more than a limit since the runtime warmed
// up, the next movie is loaded into a fresh page.
class PageRenewal
{
public:
    static constexpr qint64 GrowthLimitMb = 32;
    // The renderer's memory in MB; -1 where it cannot be read.
    using MemoryReader = std::function<qint64()>;

    explicit PageRenewal(MemoryReader memory) : m_memory(std::move(memory)) {}

    // The runtime in the page is ready for movies. A fresh page after a large
    // movie keeps the first page's yardstick.
    void warmedUp();
    bool isWarm() const { return m_warm; }
    // A movie is about to be set: true when the page, if it has loaded, must
    // be replaced first.
    bool pageSpent(bool pageLoaded);

    // The anonymous memory of process `pid` in MB; -1 where it cannot be read.
    static qint64 anonymousMemoryMb(qint64 pid);

private:
    MemoryReader m_memory;
    bool m_warm = false;
    qint64 m_warmMb = -1;
    int m_moviesOnPage = 0;
};

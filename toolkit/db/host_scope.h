// Local cleanup for the toolkit's functions: an owner for one host block and
// a guard that runs a cleanup when its scope ends, so that every early return
// of a loader releases the same things.
#pragma once

#include "toolkit/ad.h"

#include <memory>
#include <utility>

struct AdHostFreer {
    void operator()(void* block) const { HostFree(block); }
};

template <class T>
using AdHostBlock = std::unique_ptr<T, AdHostFreer>;

template <class Cleanup>
class AdScopeExit {
public:
    explicit AdScopeExit(Cleanup cleanup) : cleanup_(std::move(cleanup)) {}
    ~AdScopeExit() {
        if (armed_) cleanup_();
    }
    AdScopeExit(const AdScopeExit&) = delete;
    AdScopeExit& operator=(const AdScopeExit&) = delete;
    // The work succeeded: nothing is undone.
    void dismiss() { armed_ = false; }

private:
    Cleanup cleanup_;
    bool armed_ = true;
};

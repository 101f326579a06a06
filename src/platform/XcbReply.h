#pragma once

#include <cstdlib>
#include <memory>

// An xcb reply: xcb allocates it with malloc and the caller frees it. Null when the request failed.
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// Takes ownership of what an xcb_..._reply() call returned, null or not.
template <typename Reply>
XcbReply<Reply> ownReply(Reply* reply) {
    return XcbReply<Reply>(reply, &std::free);
}

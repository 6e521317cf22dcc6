#include "platform/render/compose/frame_pool.h"

#include <gtest/gtest.h>

#include <cstring>

// A pooled frame must be usable wherever a frame from av_frame_get_buffer is: the encoders take
// it as it is, without a copy.
TEST(FramePool, FramesAreLaidOutAsTheLibraryLaysThemOut) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{66, 50}, std::pair{1282, 722}}) {
        FramePool pool(w, h);
        FramePtr pooled = pool.Get();
        ASSERT_NE(pooled, nullptr);
        FramePtr plain(av_frame_alloc());
        plain->format = AV_PIX_FMT_YUV420P;
        plain->width = w;
        plain->height = h;
        ASSERT_EQ(av_frame_get_buffer(plain.get(), 32), 0);
        EXPECT_EQ(pooled->format, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(pooled->width, w);
        EXPECT_EQ(pooled->height, h);
        for (int p = 0; p < 3; ++p) {
            EXPECT_EQ(pooled->linesize[p], plain->linesize[p]) << w << "x" << h << " plane " << p;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pooled->data[p]) % 32, 0u);
        }
        // The planes do not overlap: each keeps what was written into it.
        const int rows[3] = {h, (h + 1) / 2, (h + 1) / 2};
        for (int p = 0; p < 3; ++p) {
            for (int y = 0; y < rows[p]; ++y) {
                std::memset(pooled->data[p] + static_cast<std::ptrdiff_t>(y) * pooled->linesize[p], 10 + p,
                            static_cast<std::size_t>(pooled->linesize[p]));
            }
        }
        for (int p = 0; p < 3; ++p) {
            EXPECT_EQ(pooled->data[p][0], 10 + p);
            EXPECT_EQ(pooled->data[p][static_cast<std::ptrdiff_t>(rows[p] - 1) * pooled->linesize[p]], 10 + p);
        }
        EXPECT_EQ(av_frame_make_writable(pooled.get()), 0);
    }
}

TEST(FramePool, MemoryComesBackForTheNextFrameAndOutlivesThePool) {
    FramePtr kept;
    {
        FramePool pool(320, 240);
        FramePtr first = pool.Get();
        ASSERT_NE(first, nullptr);
        const std::uint8_t* memory = first->data[0];
        first.reset();
        FramePtr second = pool.Get();
        EXPECT_EQ(second->data[0], memory);  // the released frame's memory, not a new block
        FramePtr third = pool.Get();
        EXPECT_NE(third->data[0], memory);   // in use: not handed out twice
        kept.reset(av_frame_clone(third.get()));
    }
    // A frame still queued for the encoder when the composer has gone stays valid.
    std::memset(kept->data[0], 7, static_cast<std::size_t>(kept->linesize[0]) * 240);
    EXPECT_EQ(kept->data[0][kept->linesize[0] * 239], 7);
}

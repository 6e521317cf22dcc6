#pragma once
// One conversion: the show's frames and sound written into the output file on a worker thread.
// The sound lasts exactly as long as the pictures and ends with a 20 ms fade. Stop() at any moment
// ends the work and finalises the file, so it plays up to where it stopped; its sound runs on for
// at most a quarter of a second and fades out there. The file takes the output's name only
// when it is complete or stopped; a failure, or Abandon(), leaves the output as it was.
//
// Start and Stop are called from one thread (the one that owns the graph); the done callback runs
// on the worker, after the file is closed.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/render/write/file_writer.h"
#include "platform/render/show_plan.h"

class FileRenderJob {
public:
    using Done = std::function<void(HRESULT hr, const std::string& error)>;

    FileRenderJob(std::shared_ptr<const ShowPlan> plan, OutputSpec output);
    ~FileRenderJob();
    FileRenderJob(const FileRenderJob&) = delete;
    FileRenderJob& operator=(const FileRenderJob&) = delete;

    // Opens the encoders and the file, then renders on a worker. A failure to open is returned
    // here (the worker is not started and `done` is not called).
    HRESULT Start(Done done);
    void Stop();
    // Ends the work and drops the file unfinished, as when the process is told to end.
    void Abandon();

    std::int64_t framesDone() const { return framesDone_.load(); }
    std::int64_t framesTotal() const { return framesTotal_; }

private:
    void Run();

    std::shared_ptr<const ShowPlan> plan_;
    OutputSpec output_;
    FileWriter writer_;
    Done done_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> abandon_{false};
    std::atomic<std::int64_t> framesDone_{0};
    std::int64_t framesTotal_ = 0;
    std::thread worker_;
};

// Jobs for tests of the job framework and of what builds on it: a probe job whose body
// returns, waits for a gate, waits until done, or throws, and which counts its life in a
// shared record; a parent that only waits for its children; a recorder window thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/jobs/Job.h"
#include "engine/jobs/JobList.h"
#include "engine/jobs/JobManager.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowThread.h"

// What a probe job's body does.
enum class ProbeBody {
    Return,         // returns at once
    WaitForGate,    // waits until the record's gate opens (or 30 s pass), stopped or not
    WaitUntilDone,  // polls IsDone as the waiting bodies of the system do
    ThrowStd,       // throws std::runtime_error
    ThrowOther,     // throws an int
};

// Shared by the probes of one test. Every count is atomic.
struct ProbeRecord {
    std::atomic<int> created{0};
    std::atomic<int> destroyed{0};
    std::atomic<int> ran{0};
    std::atomic<int> runningNow{0};
    std::atomic<int> highWater{0};
    std::atomic<bool> gate{false};

    std::mutex mutex;
    std::vector<int> startOrder;    // probe ids in the order their bodies began
    std::vector<int> destroyedIds;  // probe ids in the order they were deleted

    int Alive() const { return created.load() - destroyed.load(); }
    void OpenGate() { gate = true; }
    std::vector<int> StartOrder() {
        std::lock_guard<std::mutex> guard(mutex);
        return startOrder;
    }
    std::vector<int> DestroyedIds() {
        std::lock_guard<std::mutex> guard(mutex);
        return destroyedIds;
    }
    // Waits until every probe of the record has been deleted.
    bool WaitAllDeleted(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        return WaitUntil([this] { return created.load() == destroyed.load(); }, timeout);
    }
};

class ProbeJob : public Job {
public:
    ProbeJob(ProbeRecord& record, int id, ProbeBody body = ProbeBody::Return)
        : Job("probe " + std::to_string(id)), record_(record), id_(id), body_(body) {
        ++record_.created;
    }

    int Id() const { return id_; }
    // Runs on the finisher's thread after Job::Finish, so the thread is still inside
    // the job; the probe writes to itself afterwards, which a sanitizer build catches
    // when the job was deleted meanwhile.
    void SetAfterFinish(std::function<void(ProbeJob*)> hook) { afterFinish_ = std::move(hook); }
    void SetOnlyWaits(bool onlyWaits) { onlyWaits_ = onlyWaits; }
    void SetType(std::string_view typeName) { SetTypeName(typeName); }
    void SetPercent(int percent) { SetProgress(percent); }
    int FinishCount() const { return finishes_.load(); }

    void Finish() override {
        Job::Finish();
        if (afterFinish_)
            afterFinish_(this);
        ++finishes_;
    }
    bool OnlyWaitsForChildren() const override { return onlyWaits_; }

protected:
    ~ProbeJob() override {
        {
            std::lock_guard<std::mutex> guard(record_.mutex);
            record_.destroyedIds.push_back(id_);
        }
        ++record_.destroyed;
    }

    void Run() override {
        ++record_.ran;
        {
            std::lock_guard<std::mutex> guard(record_.mutex);
            record_.startOrder.push_back(id_);
        }
        const int now = ++record_.runningNow;
        int high = record_.highWater.load();
        while (now > high && !record_.highWater.compare_exchange_weak(high, now)) {
        }
        struct Leave {
            ProbeRecord& record;
            ~Leave() { --record.runningNow; }
        } leave{record_};
        switch (body_) {
            case ProbeBody::Return:
                return;
            case ProbeBody::WaitForGate:
                WaitUntil([this] { return record_.gate.load(); }, std::chrono::seconds(30));
                return;
            case ProbeBody::WaitUntilDone:
                WaitUntilDone();
                return;
            case ProbeBody::ThrowStd:
                throw std::runtime_error("probe body failed");
            case ProbeBody::ThrowOther:
                throw 42;
        }
    }

private:
    ProbeRecord& record_;
    const int id_;
    const ProbeBody body_;
    bool onlyWaits_ = false;
    std::function<void(ProbeJob*)> afterFinish_;
    std::atomic<int> finishes_{0};
};

// A parent that only waits for its children: it queues each child with its manager and
// completes when all of them have finished.
class WaitingParentJob : public ProbeJob {
public:
    WaitingParentJob(ProbeRecord& record, int id, JobManager& manager)
        : ProbeJob(record, id, ProbeBody::WaitUntilDone), manager_(manager) {
        SetOnlyWaits(true);
    }

    // The child listens to this job, joins its children and is queued.
    void AddChild(Job* child) {
        child->AddListener(this);
        children_.Add(child);
        manager_.AddJob(child);
    }
    JobList& Children() { return children_; }
    int ChildNotices() const { return childNotices_.load(); }

    void Cancel() override {
        Job::Cancel();
        children_.CancelAll();
    }

protected:
    void OnChildFinished(Job* child) override {
        (void)child;
        ++childNotices_;
        if (children_.AllFinished())
            MarkComplete();
    }

private:
    JobManager& manager_;
    std::atomic<int> childNotices_{0};
    JobList children_{this};  // last: the children go before the rest of the parent
};

// A listener object that records the order in which listeners heard a message.
class RecordingListener : public MessageListener {
public:
    RecordingListener(std::vector<std::string>& log, std::mutex& mutex, std::string name,
                      std::function<void()> onMessage = {})
        : log_(log), mutex_(mutex), name_(std::move(name)), onMessage_(std::move(onMessage)) {}
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        (void)wParam;
        (void)lParam;
        if (message != WM_JOB_FINISHED)
            return;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            log_.push_back(name_);
        }
        if (onMessage_)
            onMessage_();
    }

private:
    std::vector<std::string>& log_;
    std::mutex& mutex_;
    std::string name_;
    std::function<void()> onMessage_;
};

// A UI thread with one window that records every message at or above WM_USER.
class RecorderWindow {
public:
    struct Received {
        UINT message;
        WPARAM wParam;
    };

    // onMessage, when given, runs on the window's thread for each recorded message.
    explicit RecorderWindow(std::function<void(UINT, WPARAM)> onMessage = {})
        : onMessage_(std::move(onMessage)),
          thread_([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
              if (message < WM_USER)
                  return DefWindowProc(hwnd, message, wParam, lParam);
              {
                  std::lock_guard<std::mutex> guard(mutex_);
                  received_.push_back({message, wParam});
              }
              if (onMessage_)
                  onMessage_(message, wParam);
              return 0;
          }) {}

    bool Start() { return thread_.Start(); }
    HWND Hwnd() const { return thread_.Hwnd(); }
    std::vector<Received> ReceivedMessages() {
        std::lock_guard<std::mutex> guard(mutex_);
        return received_;
    }
    int Count(UINT message) {
        std::lock_guard<std::mutex> guard(mutex_);
        return static_cast<int>(
            std::count_if(received_.begin(), received_.end(),
                          [message](const Received& r) { return r.message == message; }));
    }

private:
    std::function<void(UINT, WPARAM)> onMessage_;
    std::mutex mutex_;
    std::vector<Received> received_;
    WindowThread thread_;  // last: the thread ends before the rest goes
};

// The child jobs of a parent: an owning list. What is still in it when the list is
// emptied or destroyed is deleted through DeleteJob; a child whose run has not ended is
// first detached from the parent (the parent leaves the child's listener list), so it
// ends on its own and deletes itself as it leaves.
//
// Every operation takes the process lock; none waits. Jobs taken out with Remove belong
// to the caller again (typically handed on to the job manager's RetireJob).
#pragma once

#include <vector>

class Job;
class MessageListener;

class JobList {
public:
    // owner: the parent that listens to the children (detached from them at the end);
    // may be null.
    explicit JobList(MessageListener* owner);
    ~JobList();
    JobList(const JobList&) = delete;
    JobList& operator=(const JobList&) = delete;

    // Appends job (null is ignored); the list owns it from now on.
    void Add(Job* job);
    // Takes the first entry equal to job out of the list without deleting it; false
    // when it is not there.
    bool Remove(Job* job);
    bool Contains(const Job* job) const;
    int GetCount() const;

    // Cancel on every child, in list order.
    void CancelAll();
    // Whether every child IsFinished; true for an empty list.
    bool AllFinished() const;
    // Marks every child finished, telling nobody (a running child can still complete
    // and finish).
    void MarkAllFinished();
    // Finished children x 100 / children (integer division); 0 for an empty list.
    int GetProgress() const;

    // Empties the list, deleting every child as the destructor does.
    void DeleteAll();

private:
    MessageListener* owner_;
    std::vector<Job*> jobs_;
};

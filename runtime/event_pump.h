#pragma once
// Dispatches the messages already queued for the calling thread and returns
// when the queue is empty or the next message is the quit message, which
// stays queued for the message loop. Never waits for new messages.
void ProcessPendingEvents();

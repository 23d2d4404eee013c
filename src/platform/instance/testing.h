// Hooks for the tests of the single-instance layer. The app never includes this.
#pragma once

// How long another process may take to accept a connection and answer (or,
// for SendMessageW, to accept the message); 3000 ms unless set.
void TestSetInstanceAnswerTime(int milliseconds);

// Readable while requests from other processes wait for this process's
// loop (PeekMessageW runs them); -1 when the layer is not running.
int TestInstanceArrivals();

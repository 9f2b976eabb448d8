#pragma once

namespace velmora {

// How the renderer is ended from outside. SIGTERM and SIGINT (a session manager, the saver, the
// kernel when the saver has died) count as a close request to the window; a renderer that has
// not gone within a second of one (stuck in a message box, say) is ended by SIGALRM. A lost X
// connection ends it at once with one line on stderr and status 1.
void InstallEndRequests();

// From now on an X error about a window or drawable that has gone (the window destroyed under
// the renderer, as a daemon may do with its own) counts as a close request; other X errors go
// on to the handler that was there. For after SDL has set up its X connection.
void EndWhenTheWindowIsLost();

// True once SIGTERM or SIGINT has arrived, or the window was lost.
bool EndRequested();

}  // namespace velmora

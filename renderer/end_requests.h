#pragma once

namespace velmora {

// How the renderer is ended from outside. SIGTERM and SIGINT (a session manager, the saver, the
// kernel when the saver has died) count as a close request to the window; a renderer that has
// not gone within a second of one (stuck in a message box, say) is ended by SIGALRM. A lost X
// connection ends it at once with one line on stderr and status 1.
void InstallEndRequests();

// True once SIGTERM or SIGINT has arrived.
bool EndRequested();

}  // namespace velmora

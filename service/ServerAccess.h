#pragma once
// Makes the voice-messaging server of this machine reachable for the control:
// its database through the server connection strings, its stored procedures,
// its notifier and messaging objects, and its database service state.
void connectVoiceServer();

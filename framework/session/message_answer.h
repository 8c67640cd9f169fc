// What a layer of the play table's dispatch (the framework, the chat pane, the game) answers for
// one received message. The layers are offered the message in turn until one does not answer
// NotMine; the session alone then asks the socket for the next header, once, unless the
// handling closed the connection (the next connect asks for it).
#pragma once

enum class MessageAnswer {
  Taken,    // handled here (or dropped here: a body too short for its record)
  NotMine,  // offered to the next layer
  // The handling closed the connection: nothing more is read from it. Every close goes through
  // the play table's CloseSocket, so the dispatch answers it for any layer that closed.
  Closed,
};

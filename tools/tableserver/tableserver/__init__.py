"""A two-player mahjong table server for the client's end-to-end tests and the demo.

Written from the protocol alone and on purpose sharing no code, record or codec with the client:
a fault in one is not mirrored in the other. Standard library only.
"""

# A TLS server that cuts its stream short: for each connection it completes the handshake, sends a block of
# bytes and closes the TCP connection without close_notify, as an attacker truncating a transfer would.
import os, socket, ssl, sys

certificate, port_file = sys.argv[1:3]
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(certificate)
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(4)
with open(port_file + ".tmp", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.replace(port_file + ".tmp", port_file)
while True:
    raw, _ = listener.accept()
    try:
        tls = context.wrap_socket(raw, server_side=True)
        tls.sendall(b"x" * 100000)
        # Close the socket underneath: no close_notify goes out.
        socket.socket(fileno=tls.detach()).close()
    except (ssl.SSLError, OSError):
        raw.close()

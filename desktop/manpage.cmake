# Puts the key rows printed by keyref --man in place of their marker line in the
# manual page. cmake -DBODY=... -DKEYS=... -DOUT=... -P manpage.cmake
file(READ ${BODY} body)
file(READ ${KEYS} keys)
string(STRIP "${keys}" keys)
string(REPLACE ".\\\" the key rows of keyref --man" "${keys}" body "${body}")
file(WRITE ${OUT} "${body}")

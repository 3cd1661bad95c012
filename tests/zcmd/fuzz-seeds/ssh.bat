:start
Done ^.^
pause

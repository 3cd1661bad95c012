:a
set V=1|V
goto a
